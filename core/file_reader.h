#pragma once

#include "core/byte_source.h"

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

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    std::string path_;
    std::unique_ptr<std::FILE, FileCloser> file_;
};
