#pragma once

#include "printing/capture/emulation.h"
#include "printing/capture/emulator_dialect.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// A printer that talks back, for capture --emulate: fed what a sender sends, in any pieces,
// it answers the status queries of its language as a printer in the current state would
// (EscPosDialect, ZplDialect, PjlDialect). Formats and jobs stay in its buffer for the hold
// time, which runs only while the state is ready; what it says when one has been printed, or
// unasked when the state changed, becomes due by time alone. No I/O and no clock of its own:
// the caller gives the time, and asks again when NextDue says.
class PrinterEmulator final : private EmulatorDialect::Printer {
public:
    using Clock = std::chrono::steady_clock;
    // How the printer stands; asked whenever a query is answered or timed replies are due.
    using StateSource = std::function<Emulation::State()>;

    struct Timed {
        std::string replies;
        Clock::time_point next; // when to ask again; time_point::max() for never
    };

    // How often the state is looked at while a change would be reported or work is held.
    static constexpr std::chrono::milliseconds kStatePoll{250};
    // Formats or jobs held at most; more are printed at once.
    static constexpr std::size_t kHeldLimit = 999;

    PrinterEmulator(Emulation::Language language, StateSource state, Clock::duration hold,
                    Clock::time_point now);
    ~PrinterEmulator();
    PrinterEmulator(const PrinterEmulator&) = delete;
    PrinterEmulator& operator=(const PrinterEmulator&) = delete;

    // Takes the sender's next bytes at `now`; returns what the printer answers at once
    // (after anything that was due by then).
    std::string Take(std::string_view bytes, Clock::time_point now);
    // What became due by `now` by time alone, and when to ask next.
    Timed Due(Clock::time_point now);
    Clock::time_point NextDue() const;

private:
    Emulation::State StateNow() override;
    void Hold(HeldWork work) override;
    const std::deque<HeldWork>& Held() const override { return held_; }
    void Reply(std::string_view bytes) override { replies_.append(bytes); }

    void Advance(Clock::time_point now);
    void PrintFinished();

    std::unique_ptr<EmulatorDialect> dialect_;
    StateSource source_;
    Clock::duration hold_;
    Emulation::State state_;
    // Until when the buffer's printing has been counted.
    Clock::time_point counted_;
    std::deque<HeldWork> held_;
    // The replies of the call in progress, in order.
    std::string replies_;
};
