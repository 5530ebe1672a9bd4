#pragma once

#include "printing/capture/emulation.h"

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

// A ZPL format or a PJL job in the emulated printer's buffer until it has been printed.
struct HeldWork {
    // Printing time still to go; it runs only while the printer is ready.
    std::chrono::steady_clock::duration left{};
    // Labels the format prints (ZPL ^PQ).
    long labels = 1;
    // The job's name and its pages (PJL).
    std::string name;
    long pages = 1;
};

// One printer language as PrinterEmulator speaks it: finds the commands in what a sender
// sends, in any pieces, and words the replies. The time, the state and the buffer belong to
// the printer it speaks for.
class EmulatorDialect {
public:
    // What a dialect may ask of that printer.
    class Printer {
    public:
        // How the printer stands now, read again (a change is reported first).
        virtual Emulation::State StateNow() = 0;
        // A format or job into the buffer.
        virtual void Hold(HeldWork work) = 0;
        virtual const std::deque<HeldWork>& Held() const = 0;
        // Bytes back to the sender, after those before them.
        virtual void Reply(std::string_view bytes) = 0;

    protected:
        ~Printer() = default;
    };

    virtual ~EmulatorDialect() = default;

    // Reads the sender's next bytes.
    virtual void Take(std::string_view bytes, Printer& printer) = 0;
    // What the printer says unasked when its state changed; empty when it says nothing.
    virtual std::string StateChanged(Emulation::State state) = 0;
    // What it says when a held format or job has been printed.
    virtual std::string Printed(const HeldWork& work) = 0;
    // Whether the sender asked to be told of changes, so the state is to be watched.
    virtual bool ReportsChanges() const = 0;
};

std::unique_ptr<EmulatorDialect> MakeEmulatorDialect(Emulation::Language language);
