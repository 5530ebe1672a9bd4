#include "printing/capture/printer_emulator.h"

#include "printing/capture/esc_pos_dialect.h"
#include "printing/capture/pjl_dialect.h"
#include "printing/capture/zpl_dialect.h"

#include <algorithm>
#include <utility>

std::unique_ptr<EmulatorDialect> MakeEmulatorDialect(Emulation::Language language) {
    switch (language) {
    case Emulation::Language::EscPos:
        return std::make_unique<EscPosDialect>();
    case Emulation::Language::Zpl:
        return std::make_unique<ZplDialect>();
    case Emulation::Language::Pjl:
        return std::make_unique<PjlDialect>();
    }
    return std::make_unique<PjlDialect>();
}

PrinterEmulator::PrinterEmulator(Emulation::Language language, StateSource state,
                                 Clock::duration hold, Clock::time_point now)
    : dialect_(MakeEmulatorDialect(language)), source_(std::move(state)),
      hold_(std::max(hold, Clock::duration::zero())), state_(source_()), counted_(now) {}

PrinterEmulator::~PrinterEmulator() = default;

std::string PrinterEmulator::Take(std::string_view bytes, Clock::time_point now) {
    replies_.clear();
    Advance(now);
    dialect_->Take(bytes, *this);
    return std::move(replies_);
}

PrinterEmulator::Timed PrinterEmulator::Due(Clock::time_point now) {
    replies_.clear();
    Advance(now);
    StateNow();
    return {std::move(replies_), NextDue()};
}

PrinterEmulator::Clock::time_point PrinterEmulator::NextDue() const {
    if (!dialect_->ReportsChanges() && held_.empty()) {
        return Clock::time_point::max();
    }
    Clock::time_point next = counted_ + kStatePoll;
    if (state_ == Emulation::State::Ready && !held_.empty()) {
        next = std::min(next, counted_ + held_.front().left);
    }
    return next;
}

Emulation::State PrinterEmulator::StateNow() {
    const Emulation::State state = source_();
    if (state != state_) {
        state_ = state;
        replies_ += dialect_->StateChanged(state);
        PrintFinished();
    }
    return state_;
}

void PrinterEmulator::Hold(HeldWork work) {
    work.left = hold_;
    if (held_.size() >= kHeldLimit) {
        replies_ += dialect_->Printed(work);
        return;
    }
    held_.push_back(std::move(work));
    PrintFinished();
}

// The time since the last count printed the buffer's work, one after another, if the
// printer was ready meanwhile (as last seen: a change is only seen when the state is read).
void PrinterEmulator::Advance(Clock::time_point now) {
    if (now <= counted_) {
        return;
    }
    Clock::duration elapsed = now - counted_;
    counted_ = now;
    if (state_ != Emulation::State::Ready) {
        return;
    }
    while (!held_.empty() && elapsed > Clock::duration::zero()) {
        HeldWork& work = held_.front();
        const Clock::duration spent = std::min(work.left, elapsed);
        work.left -= spent;
        elapsed -= spent;
        if (work.left <= Clock::duration::zero()) {
            replies_ += dialect_->Printed(work);
            held_.pop_front();
        }
    }
    PrintFinished();
}

// Work with no time left goes at once while the printer is ready.
void PrinterEmulator::PrintFinished() {
    while (state_ == Emulation::State::Ready && !held_.empty() &&
           held_.front().left <= Clock::duration::zero()) {
        replies_ += dialect_->Printed(held_.front());
        held_.pop_front();
    }
}
