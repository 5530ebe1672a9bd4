#pragma once

#include "printing/address/printer_address.h"
#include "printing/job/job_options.h"
#include "printing/talkback/printer_answer.h"

#include <atomic>

// Asks a printer reached by its address how it stands, from every source this platform
// has that prints nothing: the printer's own language when it is known (from the options,
// the address, or a USB printer's device ID), a USB printer's port, and a network
// printer's SNMP agent when nothing else told or the options want it asked.
class PrinterInquiry {
public:
    // `stop`, which may be none, ends a wait on the printer soon after it is set.
    PrinterInquiry(const PrinterAddress& address, const JobOptions& options,
                   const std::atomic<bool>* stop);

    PrinterAnswer Run();

    // The language a job to this printer is asked in: the options', else the address's,
    // else a USB printer's device ID's; Automatic when none says.
    static PrinterLanguage LanguageFor(const PrinterAddress& address, const TalkOptions& talk);

private:
    bool Stopped() const;
    void AskPort();
    void AskInLanguage();
    void AskSnmp();
    void Take(const StatusReport& state, std::string source);

    PrinterAddress address_;
    JobOptions options_;
    PrinterLanguage language_;
    const std::atomic<bool>* stop_;
    PrinterAnswer answer_;
};
