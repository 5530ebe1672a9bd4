#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// One captured job's file while its bytes arrive. It is made under a temporary name
// (job-N.prn.incoming) that must not exist yet, and gets its own name only when it is
// kept: job-N.prn for a whole job, job-N.prn.partial for one cut off. Neither ever
// replaces a file that is there. A file still open when it goes is kept as .partial:
// whatever arrived stays, and never passes for a whole job.
class JobFile {
public:
    // Creates DIR/job-N.prn.incoming exclusively. Returns nothing when that name, or
    // one of the job's final names, is taken; throws FileError for any other failure.
    static std::unique_ptr<JobFile> CreateExclusive(const std::string& dir, std::uint64_t number);

    ~JobFile();
    JobFile(const JobFile&) = delete;
    JobFile& operator=(const JobFile&) = delete;

    // Appends the bytes as they are; throws FileError.
    void Write(std::string_view bytes);

    // Closes the file and gives it its final name, which the return value holds. Throws
    // FileError when that name is taken meanwhile (the bytes stay under the temporary
    // name then) or the file cannot be closed or renamed.
    std::string Keep();
    std::string KeepPartial();

    std::uint64_t Number() const { return number_; }
    std::uint64_t Size() const { return size_; }

    // "DIR/job-N.prn" and so on; DIR empty is the current folder.
    static std::string PathOf(const std::string& dir, std::uint64_t number,
                              std::string_view suffix);

private:
    JobFile(std::string dir, std::uint64_t number, int descriptor);
    std::string KeepAs(std::string_view suffix);
    void CloseFile();

    std::string dir_;
    std::uint64_t number_;
    int descriptor_;
    std::uint64_t size_ = 0;
};
