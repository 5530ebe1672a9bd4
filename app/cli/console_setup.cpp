#include "app/cli/console_setup.h"

#ifdef _WIN32
#include "core/win_text.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <memory>
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>
#endif

namespace ConsoleSetup {

#ifdef _WIN32

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

namespace {

struct LocalFreeDeleter {
    void operator()(LPWSTR* arguments) const { LocalFree(arguments); }
};

} // namespace

// The command line as the system keeps it, in UTF-16, split the way the C library splits
// it. argv is used only when that fails, which leaves the ANSI form as the last resort.
std::vector<std::string> Arguments(int argc, char** argv) {
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreeDeleter> wide(
        CommandLineToArgvW(GetCommandLineW(), &count));
    if (!wide) {
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(WinText::Utf8(wide.get()[i]));
    }
    return arguments;
}

#else

void UseBinaryStandardStreams() {}

std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

#endif

} // namespace ConsoleSetup
