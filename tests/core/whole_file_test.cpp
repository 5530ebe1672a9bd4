#include "core/file_error.h"
#include "core/whole_file.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using modTools::ReadWholeFile;
using modTools::WriteWholeFile;

TEST(WholeFileTest, AllByteValuesRoundTrip) {
    TempDir dir;
    const std::string path = dir.File("codes.prn");
    const std::string bytes = AllByteValues() + AllByteValues();
    EXPECT_TRUE(WriteWholeFile(path, bytes));
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_EQ(ReadWholeFile(path), bytes);
}

TEST(WholeFileTest, MissingPathReadsEmptyAndCreatesNothing) {
    TempDir dir;
    const std::string path = dir.File("missing.prn");
    EXPECT_EQ(ReadWholeFile(path), "");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(WholeFileTest, EmptyFileReadsEmpty) {
    TempDir dir;
    WriteBytes(dir.File("empty"), "");
    EXPECT_EQ(ReadWholeFile(dir.File("empty")), "");
}

TEST(WholeFileTest, OnlyRegularFilesAreFound) {
    TempDir dir;
    WriteBytes(dir.File(".hidden"), "dot");
    EXPECT_EQ(ReadWholeFile(dir.File(".hidden")), "dot");
    EXPECT_EQ(ReadWholeFile(dir.Path().string()), "");
    // A device is no file: reading it must neither block nor run on forever.
#ifdef _WIN32
    for (const char* device : {"NUL", "CON"}) {
        EXPECT_FALSE(modTools::IsRegularFile(device)) << device;
        EXPECT_EQ(ReadWholeFile(device), "") << device;
    }
#else
    EXPECT_EQ(ReadWholeFile("/dev/zero"), "");
#endif
}

// Only Linux has pseudo-files that measure less than they hold.
#ifndef _WIN32
TEST(WholeFileTest, ReadsEverythingEvenPastTheMeasuredSize) {
    // Files under /proc measure zero bytes yet hold text: the read must not stop at the
    // measured size, nor pad to it.
    const std::string status = ReadWholeFile("/proc/self/status");
    EXPECT_EQ(status.rfind("Name:", 0), 0u);
    EXPECT_EQ(status.find('\0'), std::string::npos);
}
#endif

TEST(WholeFileTest, WritingCreatesMissingFilesEvenEmptyOnes) {
    TempDir dir;
    EXPECT_TRUE(WriteWholeFile(dir.File("new.prn"), ""));
    EXPECT_TRUE(std::filesystem::exists(dir.File("new.prn")));
    EXPECT_EQ(std::filesystem::file_size(dir.File("new.prn")), 0u);
}

TEST(WholeFileTest, WritingNeverShortensAnOlderLongerFile) {
    TempDir dir;
    const std::string path = dir.File("old.prn");
    WriteBytes(path, "0123456789");
    EXPECT_FALSE(WriteWholeFile(path, "abc"));
    EXPECT_EQ(ReadBytes(path), "abc3456789");
    EXPECT_TRUE(WriteWholeFile(path, "ABCDEFGHIJ"));
    EXPECT_EQ(ReadBytes(path), "ABCDEFGHIJ");
}

TEST(WholeFileTest, FailuresThrowFileErrorNamingThePath) {
    TempDir dir;
    WriteBytes(dir.File("plain"), "x");
    // A path whose parent is a regular file fails even for root.
    const std::string underAFile = dir.File("plain") + "/child.prn";
    try {
        WriteWholeFile(underAFile, "data");
        FAIL() << "no error for a path under a regular file";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Path(), underAFile);
        EXPECT_FALSE(error.Reason().empty());
        EXPECT_NE(std::string(error.what()).find(underAFile), std::string::npos);
    }
    EXPECT_THROW(WriteWholeFile(dir.Path().string(), "data"), FileError);
#ifndef _WIN32
    // A device that is always full: the failed flush must surface. Windows has no such
    // device.
    EXPECT_THROW(WriteWholeFile("/dev/full", std::string(100000, 'x')), FileError);
#endif
}

#ifdef _WIN32
// Paths are byte strings in the ANSI code page: a name with characters beyond ASCII is
// found, measured, read and written like any other.
TEST(WholeFileTest, NamesInTheAnsiCodePageAreFound) {
    // A euro sign and a dash: in Windows-1252 they lie where Latin-1 has control codes.
    const wchar_t* wideName = L"Preis \u20AC \u2013 \u00C4.prn";
    char name[64] = {};
    BOOL lossy = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wideName, -1, name, sizeof name, nullptr, &lossy);
    if (length == 0 || lossy) {
        GTEST_SKIP() << "the ANSI code page " << GetACP() << " has no such characters";
    }
    TempDir dir;
    const std::string path = dir.Path().string() + "\\" + name;
    const std::string reset = "\x1B\x45"; // ESC E
    EXPECT_TRUE(WriteWholeFile(path, reset));
    EXPECT_TRUE(modTools::IsRegularFile(path));
    EXPECT_EQ(ReadWholeFile(path), reset);
}
#endif

} // namespace

namespace {

// A file that must be there says why it can't be read instead of reading as empty.
TEST(WholeFileTest, ExistingFileReadFailsWithTheReasonWhenTheFileIsNotThere) {
    TempDir dir;
    WriteBytes(dir.File("job.prn"), AllByteValues());
    EXPECT_EQ(modTools::ReadExistingFile(dir.File("job.prn")), AllByteValues());
    try {
        modTools::ReadExistingFile(dir.File("gone.prn"));
        FAIL() << "a missing file read without an error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Path(), dir.File("gone.prn"));
        EXPECT_FALSE(error.Reason().empty());
    }
    EXPECT_THROW(modTools::ReadExistingFile(dir.Path().string()), FileError);
}

} // namespace
