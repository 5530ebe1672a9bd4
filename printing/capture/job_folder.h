#pragma once

#include "printing/capture/job_file.h"

#include <cstdint>
#include <memory>
#include <string>

// The folder captured jobs land in, numbered job-1.prn, job-2.prn, ... Each new job takes
// the number after the highest one the folder holds (whole, partial or still arriving)
// and after every number this folder handed out before, so a number is never used twice
// and no file is ever overwritten.
class JobFolder {
public:
    // dir empty: the current folder. Throws FileError when it is no folder.
    explicit JobFolder(std::string dir);

    // The next job's file, created under its temporary name. Throws FileError.
    std::unique_ptr<JobFile> Begin();

    const std::string& Dir() const { return dir_; }

private:
    std::uint64_t HighestNumber() const;

    std::string dir_;
    std::uint64_t next_ = 1;
};
