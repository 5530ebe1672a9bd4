#include "app/program_arguments.h"

#include "app_info.h"
#include "printing/job/job_failure.h"
#include "printing/job/printer_target.h"

namespace {

constexpr std::string_view PrinterShort = "-P";
constexpr std::string_view PrinterLong = "--printer";
constexpr std::string_view PrinterLongJoined = "--printer=";

} // namespace

ProgramArguments::ProgramArguments(const std::vector<std::string>& arguments) {
    for (std::size_t index = 0; index < arguments.size();) {
        index = Read(arguments, index);
    }
}

std::size_t ProgramArguments::Read(const std::vector<std::string>& arguments, std::size_t index) {
    const std::string& argument = arguments[index];
    // A lone "-" is a file of that name: the program reads no standard input.
    if (optionsEnded_ || argument.size() < 2 || argument.front() != '-') {
        files_.push_back(argument);
    } else if (argument == "--") {
        optionsEnded_ = true;
    } else if (argument == "-h" || argument == "--help") {
        Ask(Request::Help);
    } else if (argument == "-v" || argument == "--version") {
        Ask(Request::Version);
    } else if (argument == PrinterShort || argument == PrinterLong) {
        // The address is the next argument, whatever it looks like.
        if (index + 1 >= arguments.size()) {
            Complain("tolvenmark: option '" + argument + "' needs a printer address\n" + Usage());
            return index + 1;
        }
        AddPrinter(arguments[index + 1]);
        return index + 2;
    } else if (argument.starts_with(PrinterLongJoined)) {
        AddPrinter(argument.substr(PrinterLongJoined.size()));
    } else if (argument.starts_with(PrinterShort)) {
        AddPrinter(argument.substr(PrinterShort.size()));
    } else if (unknownOption_.empty()) {
        unknownOption_ = argument;
        Complain(UnknownOptionMessage(argument));
    }
    return index + 1;
}

void ProgramArguments::Ask(Request request) {
    if (request_ == Request::Run) {
        request_ = request;
    }
}

// Queues are listed from the system already; -P is for printers reached by their address.
void ProgramArguments::AddPrinter(const std::string& text) {
    try {
        const PrinterTarget target = PrinterTarget::Resolve(text);
        if (target.IsQueue()) {
            Complain("tolvenmark: \"" + text +
                     "\": -P takes a printer address; queues are listed already\n");
            return;
        }
        printers_.push_back(target.Address());
    } catch (const JobFailure& failure) {
        Complain(std::string("tolvenmark: ") + failure.what() + "\n");
    }
}

void ProgramArguments::Complain(const std::string& message) {
    if (complaint_.empty()) {
        complaint_ = message;
    }
}

std::string ProgramArguments::Usage() {
    return "Usage: tolvenmark [--help] [--version] [-P ADDRESS]... [FILE...]\n"
           "Sends printer-ready files and control codes to a printer raw.\n"
           "Each FILE is added to the list of files to print, as a dropped file is.\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "  -v, --version  show the version and exit\n"
           "  -P, --printer ADDRESS\n"
           "                 add a printer reached by its address to the printer list,\n"
           "                 after the system's queues, and select the first one given:\n"
           "                 socket://HOST[:PORT], lpd://HOST[:PORT]/QUEUE,\n"
           "                 ipp://HOST[:PORT]/PATH, ipps://HOST[:PORT]/PATH,\n"
           "                 file:DEVICE or serial:DEVICE[?baud=N+bits=8+parity=none+flow=none]\n"
           "  --             end of options: every argument after it is a FILE\n"
           "\n"
           "Qt's own options, such as -platform or -style, are also taken.\n";
}

std::string ProgramArguments::VersionLine() {
    return std::string(AppInfo::Title) + " " + AppInfo::Version + "\n";
}

std::string ProgramArguments::UnknownOptionMessage(const std::string& option) {
    return "tolvenmark: unknown option '" + option + "'\n" + Usage();
}
