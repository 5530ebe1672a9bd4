#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

// A job's bytes kept aside until their count is known: an anonymous temporary file,
// opened in binary mode and gone when this is destroyed, so memory stays the same
// whatever the job's size.
class SpoolFile {
public:
    SpoolFile();
    ~SpoolFile();
    SpoolFile(const SpoolFile&) = delete;
    SpoolFile& operator=(const SpoolFile&) = delete;

    // Each returns false with Error() saying why (the system's words).
    bool Open();
    bool Append(std::string_view data);
    // Goes back to the first byte, for reading.
    bool Rewind();
    // The next bytes, at most maxSize of them; empty at the end.
    bool ReadChunk(std::string& chunk, std::size_t maxSize);

    std::uint64_t Size() const { return size_; }
    const std::string& Error() const { return error_; }

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    bool Fail();

    std::unique_ptr<std::FILE, FileCloser> file_;
    std::uint64_t size_ = 0;
    std::string error_;
};
