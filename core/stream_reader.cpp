#include "core/stream_reader.h"

#include "core/file_error.h"

#include <istream>

StreamReader::StreamReader(std::istream& stream, std::string name)
    : stream_(stream), name_(std::move(name)) {}

std::size_t StreamReader::Read(char* buffer, std::size_t capacity) {
    stream_.read(buffer, static_cast<std::streamsize>(capacity));
    if (stream_.bad()) {
        throw FileError(name_, "read", "the input stream failed");
    }
    return static_cast<std::size_t>(stream_.gcount());
}
