#pragma once

#include "printing/address/printer_language.h"

#include <chrono>
#include <cstdint>
#include <string>

// How long each kind of wait on a printer or spooler may last. Every exchange is bounded
// by one of them, so nothing waits for ever.
struct Timeouts {
    // How long a connection may take to be made.
    std::chrono::milliseconds connect{std::chrono::seconds(10)};
    // How long a write may make no progress before the job is given up.
    std::chrono::milliseconds stall{std::chrono::seconds(30)};
    // How long the system's print scheduler (CUPS) may take to answer: a scheduler that
    // takes the connection and never answers must not hold a job or a look-up for ever.
    std::chrono::milliseconds scheduler{std::chrono::seconds(15)};

    // Every wait bounded by the same time-out, as --timeout asks.
    static Timeouts All(std::chrono::milliseconds timeout) { return {timeout, timeout, timeout}; }
};

// Where a network printer's SNMP agent answers: its port and community (v2c).
struct SnmpSettings {
    std::string community = "public";
    std::uint16_t port = 161;
    // Asked even when the printer told its state in its own language.
    bool always = false;
};

// What a direct printer is asked in its own language around a job. The job's own bytes are
// sent unchanged; queries go before the first of them or after the last.
struct TalkOptions {
    // The language to ask in; Automatic takes the address's, else the USB device ID's, else
    // what the job's first bytes are written in.
    PrinterLanguage language = PrinterLanguage::Automatic;
    // The job is refused, before a byte of it is sent, by a printer that reports itself
    // not ready (or can't be asked).
    bool check = false;
    // The job is finished only once the printer says it has printed it (a PJL printer's job
    // is put between JOB and EOJ lines to that end).
    bool confirm = false;
    SnmpSettings snmp;
};

// What one job carries besides its bytes. Copied into every backend that serves the job:
// nothing refers to options that someone may change later.
struct JobOptions {
    // The name every job carries in the spooler unless the caller gives it another.
    static constexpr const char* DefaultTitle = "Tolvenmark Document";

    // The job's name in the spooler or printer.
    std::string title = DefaultTitle;
    // The MIME type to declare to an IPP printer; empty to choose from the data.
    std::string documentFormat;
    Timeouts timeouts;
    TalkOptions talk;
};
