#include "core/file_error.h"
#include "printing/capture/job_folder.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(JobFolderTest, NumbersFollowTheHighestJobAndAreNeverReused) {
    TempDir dir;
    for (const char* name : {"job-7.prn", "job-3.prn.partial", "job-x.prn", "job-12.txt",
                             "job-99999999999999999999.prn", "notes"}) {
        WriteBytes(dir.File(name), "old");
    }
    JobFolder folder(dir.Path().string());

    auto first = folder.Begin();
    EXPECT_EQ(first->Number(), 8u);
    first->Write("new");
    EXPECT_FALSE(std::filesystem::exists(dir.File("job-8.prn"))) << "visible before it is whole";
    EXPECT_EQ(std::filesystem::path(first->Keep()), dir.Path() / "job-8.prn");
    EXPECT_EQ(ReadBytes(dir.File("job-8.prn")), "new");

    // Taken away, its number still stays used; a job arriving now sits beside it.
    std::filesystem::remove(dir.File("job-8.prn"));
    auto second = folder.Begin();
    auto third = folder.Begin();
    EXPECT_EQ(second->Number(), 9u);
    EXPECT_EQ(third->Number(), 10u);
    EXPECT_EQ(ReadBytes(dir.File("job-7.prn")), "old");

    // The folder is read once: a job another program puts there later moves no number, and
    // a name it takes is passed over.
    WriteBytes(dir.File("job-500.prn"), "theirs");
    WriteBytes(dir.File("job-11.prn.partial"), "theirs");
    EXPECT_EQ(folder.Begin()->Number(), 12u);
    EXPECT_EQ(ReadBytes(dir.File("job-11.prn.partial")), "theirs");
}

TEST(JobFolderTest, AJobNeverOverwritesAFileOfItsName) {
    TempDir dir;
    JobFolder folder(dir.Path().string());
    auto job = folder.Begin();
    job->Write(AllByteValues());
    // Another program takes the name while the job arrives.
    WriteBytes(dir.File("job-1.prn"), "theirs");
    EXPECT_THROW(job->Keep(), FileError);
    EXPECT_EQ(ReadBytes(dir.File("job-1.prn")), "theirs");
    EXPECT_EQ(ReadBytes(dir.File("job-1.prn.incoming")), AllByteValues());
    // Nor does a later job take a name that is there.
    EXPECT_EQ(folder.Begin()->Number(), 2u);
}

TEST(JobFolderTest, AJobLeftOpenIsKeptAsPartial) {
    TempDir dir;
    {
        JobFolder folder(dir.Path().string());
        folder.Begin()->Write("half");
    }
    EXPECT_EQ(ReadBytes(dir.File("job-1.prn.partial")), "half");
    EXPECT_FALSE(std::filesystem::exists(dir.File("job-1.prn")));
    EXPECT_THROW(JobFolder(dir.File("job-1.prn.partial")), FileError);
}

} // namespace
