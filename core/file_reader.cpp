#include "core/file_reader.h"

#include "core/file_error.h"

#include <cerrno>

FileReader::FileReader(std::string path) : path_(std::move(path)) {
    errno = 0;
    file_.reset(std::fopen(path_.c_str(), "rb"));
    if (!file_) {
        throw FileError::FromErrno(path_, "read", errno);
    }
}

std::size_t FileReader::Read(char* buffer, std::size_t capacity) {
    errno = 0;
    const std::size_t read = std::fread(buffer, 1, capacity, file_.get());
    if (read < capacity && std::ferror(file_.get())) {
        throw FileError::FromErrno(path_, "read", errno);
    }
    return read;
}
