#pragma once

#include "core/byte_source.h"

#include <iosfwd>
#include <string>

// The bytes of a standard stream (standard input, say), which the caller has set to
// binary and keeps open.
class StreamReader final : public ByteSource {
public:
    // `name` is how a read failure names the stream ("standard input").
    StreamReader(std::istream& stream, std::string name);

    std::size_t Read(char* buffer, std::size_t capacity) override;

private:
    std::istream& stream_;
    std::string name_;
};
