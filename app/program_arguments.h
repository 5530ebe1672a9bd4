#pragma once

#include "printing/address/printer_address.h"

#include <string>
#include <vector>

// The command line of the windowed program:
// `tolvenmark [--help] [--version] [-P ADDRESS]... [FILE...]`.
// The arguments are bytes as the system passed them, so a file name that is no valid
// text still names its file. Plain C++: help and version are answered before any window
// system is touched.
class ProgramArguments {
public:
    enum class Request { Run, Help, Version };

    // The arguments without the program's name.
    explicit ProgramArguments(const std::vector<std::string>& arguments);

    // Help or version, whichever came first, wins over everything else on the line: the
    // line is read once before the window system has taken out its own options
    // (-platform, -style, ...), which look unknown here.
    Request Requested() const { return request_; }
    // The first option that is not the program's own; empty when every one was.
    const std::string& UnknownOption() const { return unknownOption_; }
    // The files to list for printing, in their order.
    const std::vector<std::string>& Files() const { return files_; }
    // The printer addresses given with -P/--printer, in their order.
    const std::vector<PrinterAddress>& PrinterAddresses() const { return printers_; }
    // Why the line can't be run, as the program says it on standard error: an unknown
    // option, a -P without its address, or one that is no printer address; the first of
    // them in the line. Empty when there is none.
    const std::string& Complaint() const { return complaint_; }

    // The text of --help, of --version, and the complaint about an unknown option.
    static std::string Usage();
    static std::string VersionLine();
    static std::string UnknownOptionMessage(const std::string& option);

private:
    // Reads the argument at `index`; returns the index of the next one to read.
    std::size_t Read(const std::vector<std::string>& arguments, std::size_t index);
    void Ask(Request request);
    void AddPrinter(const std::string& text);
    void Complain(const std::string& message);

    Request request_ = Request::Run;
    std::string unknownOption_;
    std::vector<std::string> files_;
    std::vector<PrinterAddress> printers_;
    std::string complaint_;
    bool optionsEnded_ = false;
};
