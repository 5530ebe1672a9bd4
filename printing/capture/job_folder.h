#pragma once

#include "printing/capture/job_file.h"

#include <cstdint>
#include <memory>
#include <string>

// The folder captured jobs land in, numbered job-1.prn, job-2.prn, ... The folder is read
// once, when it is opened: numbering goes on after the highest job it held then (whole,
// partial or still arriving), and after every number handed out since, so a number is
// never used twice. A number whose name another program took meanwhile is passed over,
// and no file is ever overwritten (JobFile's exclusive creation sees to that).
class JobFolder {
public:
    // dir empty: the current folder. Throws FileError when it is no folder or cannot be
    // read.
    explicit JobFolder(std::string dir);

    // The next job's file, created under its temporary name. Throws FileError.
    std::unique_ptr<JobFile> Begin();

    const std::string& Dir() const { return dir_; }

private:
    std::uint64_t HighestNumber() const;

    std::string dir_;
    std::uint64_t next_ = 1;
};
