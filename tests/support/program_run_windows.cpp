#include "core/win_text.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

#include <stdexcept>
#include <windows.h>

namespace {

// A file handle the child inherits as one of its standard streams, closed on every path.
class InheritedFile {
public:
    InheritedFile(const std::string& path, DWORD access, DWORD disposition) {
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        handle_ = CreateFileW(WinText::Wide(path).value().c_str(), access,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE) {
            throw std::runtime_error("cannot open " + path);
        }
    }
    ~InheritedFile() { CloseHandle(handle_); }
    InheritedFile(const InheritedFile&) = delete;
    InheritedFile& operator=(const InheritedFile&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// One argument as the C library's command-line splitting gives it back: quoted when it
// is empty or holds a blank or a quote, backslashes doubled where a quote follows them.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t character : argument) {
        if (character == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(character == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += character;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

} // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input) {
    // Files rather than pipes: no deadlock however much the program writes.
    TempDir dir;
    WriteBytes(dir.File("in"), input);
    const InheritedFile in(dir.File("in"), GENERIC_READ, OPEN_EXISTING);
    const InheritedFile out(dir.File("out"), GENERIC_WRITE, CREATE_ALWAYS);
    const InheritedFile err(dir.File("err"), GENERIC_WRITE, CREATE_ALWAYS);

    std::wstring commandLine = Quoted(WinText::Wide(program).value());
    for (const std::string& argument : arguments) {
        commandLine += L' ' + Quoted(WinText::Wide(argument).value());
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.Get();
    startup.hStdOutput = out.Get();
    startup.hStdError = err.Get();
    PROCESS_INFORMATION process{};
    // A program named without a folder is looked for beside this one first.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        throw std::runtime_error("cannot start " + program + ": error " +
                                 std::to_string(GetLastError()));
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ProgramResult result;
    result.exitCode = static_cast<int>(exitCode);
    result.out = ReadBytes(dir.File("out"));
    result.err = ReadBytes(dir.File("err"));
    return result;
}
