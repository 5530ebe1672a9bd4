// tolvenmark-cli on Windows as a user runs it, its jobs going through the system's spooler
// to the capturing queue: bytes unchanged on every way in (a file, standard input, codes),
// and a file named in characters the ANSI code page lacks is the file that is sent.
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"
#include "tests/support/win_capture_queue.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

class CliWindowsJobTest : public WinCaptureQueueTest {
protected:
    ProgramResult Cli(const std::vector<std::string>& arguments, const std::string& input = {}) {
        return RunProgram(TOLVENMARK_CLI, arguments, input);
    }

    // The job's bytes as they reached the printer.
    std::string Captured() {
        const std::optional<CapturedJob> job = NextCapturedJob();
        return job ? job->bytes : "(no job arrived)";
    }
};

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Line ends, a Ctrl+Z and every byte: what a text-mode stream would change.
std::string Sample() {
    return std::string("\r\n\n\x1A\0", 5) + AllByteValues() + "\x1A\n";
}

TEST_F(CliWindowsJobTest, FilesAndStandardInputReachThePrinterUnchanged) {
    TempDir dir;
    // Ω has no place in the ANSI code page, which would make the name "Lab_O.prn".
    const fs::path named = dir.Path() / fs::path(u8"Lab_\u03A9.prn");
    std::ofstream(named, std::ios::binary) << Sample();
    std::ofstream(dir.Path() / "Lab_O.prn", std::ios::binary) << "the wrong file";

    const ProgramResult printed = Cli({"print", "-P", Printer(), Utf8(named)});
    EXPECT_EQ(printed.exitCode, 0) << printed.err;
    EXPECT_EQ(printed.out.rfind("request id is " + Printer() + "-", 0), 0u) << printed.out;
    EXPECT_EQ(Captured(), Sample());

    const ProgramResult piped = Cli({"print", "-P", Printer(), "-"}, Sample());
    EXPECT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(Captured(), Sample());
}

TEST_F(CliWindowsJobTest, CodesBecomeTheirBytes) {
    const ProgramResult sent = Cli({"send", "-P", Printer(), "<ESC>E<CR><LF><SUB><NUL>x"});
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(Captured(), std::string("\x1B"
                                      "E\r\n\x1A\0x",
                                      7));
}

} // namespace
