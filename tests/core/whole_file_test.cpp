#include "core/file_error.h"
#include "core/whole_file.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

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

} // namespace
