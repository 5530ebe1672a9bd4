#pragma once

#include "core/byte_source.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// A file read from start to end in binary mode, whatever it is: a regular file, a FIFO,
// a pipe or a device such as /dev/stdin. Closed when the reader goes.
class FileReader final : public ByteSource {
public:
    // Opens the file; throws FileError when it can't be opened. Opening a FIFO waits for
    // its writer, as any reader of one does.
    explicit FileReader(std::string path);

    std::size_t Read(char* buffer, std::size_t capacity) override;

    // Reads on from `offset` bytes into the file: a viewer goes back to a place it kept.
    // Only a regular file can; throws FileError when the place can't be reached.
    void Seek(std::uint64_t offset);

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    std::string path_;
    std::unique_ptr<std::FILE, FileCloser> file_;
};
