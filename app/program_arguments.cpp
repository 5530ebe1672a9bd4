#include "app/program_arguments.h"

#include "app_info.h"

ProgramArguments::ProgramArguments(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        Read(argument);
    }
}

void ProgramArguments::Read(const std::string& argument) {
    // A lone "-" is a file of that name: the program reads no standard input.
    if (optionsEnded_ || argument.size() < 2 || argument.front() != '-') {
        files_.push_back(argument);
    } else if (argument == "--") {
        optionsEnded_ = true;
    } else if (argument == "-h" || argument == "--help") {
        Ask(Request::Help);
    } else if (argument == "-v" || argument == "--version") {
        Ask(Request::Version);
    } else if (unknownOption_.empty()) {
        unknownOption_ = argument;
    }
}

void ProgramArguments::Ask(Request request) {
    if (request_ == Request::Run) {
        request_ = request;
    }
}

std::string ProgramArguments::Usage() {
    return "Usage: tolvenmark [--help] [--version] [FILE...]\n"
           "Sends printer-ready files and control codes to a printer raw.\n"
           "Each FILE is added to the list of files to print, as a dropped file is.\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "  -v, --version  show the version and exit\n"
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
