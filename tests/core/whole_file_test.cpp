#include "core/file_error.h"
#include "core/whole_file.h"
#include "tests/support/temp_dir.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <utility>

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
#ifndef _WIN32
    // Only the system's marks hide a file; a leading dot is part of an ordinary name.
    WriteBytes(dir.File(".hidden"), "dot");
    EXPECT_EQ(ReadWholeFile(dir.File(".hidden")), "dot");
#endif
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
// Paths are UTF-8: a name the ANSI code page can't hold is found, read and written as
// itself, never as the name the code page would make of it.
TEST(WholeFileTest, NamesBeyondTheAnsiCodePageAreThemselves) {
    TempDir dir;
    // What the ANSI forms would make of the names below, and a file whose Windows-1252
    // name is the bytes of a path that is no UTF-8.
    WriteBytes(dir.File("Lab_O.prn"), "other");
    WriteBytes(dir.File("Lab.prn"), "other");
    const std::filesystem::path latin1 = dir.Path() / L"Lab_\u00D8.prn";
    std::FILE* file = _wfopen(latin1.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);

    const std::string reset = "\x1B\x45"; // ESC E
    for (const auto& [name, wideName] :
         {std::pair{"Lab_\xCE\xA9.prn", L"Lab_\u03A9.prn"},
          std::pair{"\xEF\xBC\xAC\xEF\xBD\x81\xEF\xBD\x82.prn", L"\uFF2C\uFF41\uFF42.prn"}}) {
        const std::string path = dir.Path().string() + "\\" + name;
        EXPECT_FALSE(modTools::PathExists(path)) << name;
        EXPECT_FALSE(modTools::IsRegularFile(path)) << name;
        EXPECT_TRUE(WriteWholeFile(path, reset)) << name;
        EXPECT_EQ(std::filesystem::file_size(dir.Path() / wideName), reset.size()) << name;
        EXPECT_TRUE(modTools::PathExists(path)) << name;
        EXPECT_TRUE(modTools::IsRegularFile(path)) << name;
        EXPECT_EQ(ReadWholeFile(path), reset) << name;
    }
    EXPECT_EQ(ReadBytes(dir.File("Lab_O.prn")), "other");
    EXPECT_EQ(ReadBytes(dir.File("Lab.prn")), "other");

    const std::string notUtf8 = dir.Path().string() + "\\Lab_\xD8.prn";
    EXPECT_FALSE(modTools::PathExists(notUtf8));
    EXPECT_EQ(ReadWholeFile(notUtf8), "");
    EXPECT_THROW(modTools::ReadExistingFile(notUtf8), FileError);
    EXPECT_THROW(WriteWholeFile(notUtf8, reset), FileError);
    EXPECT_EQ(std::filesystem::file_size(latin1), 0u);
}

// The system's own search for one name finds only ordinary files.
TEST(WholeFileTest, HiddenAndSystemFilesCountAsMissing) {
    TempDir dir;
    for (const DWORD mark : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        const std::string path = dir.File("marked-" + std::to_string(mark) + ".prn");
        WriteBytes(path, "data");
        ASSERT_TRUE(SetFileAttributesW(modTools::FileSystemPath(path).c_str(), mark));
        EXPECT_FALSE(modTools::IsRegularFile(path)) << mark;
        EXPECT_EQ(ReadWholeFile(path), "") << mark;
        EXPECT_THROW(modTools::ReadExistingFile(path), FileError) << mark;
        // Still there for a save, which must ask before it replaces it.
        EXPECT_TRUE(modTools::PathExists(path)) << mark;
    }
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
