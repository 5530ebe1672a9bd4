#pragma once

#include <cstddef>

// Bytes that arrive one piece after another and are not all known in advance: standard
// input, a pipe, a FIFO. Read as they come, so that memory stays the same whatever the
// length.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Fills the buffer with up to `capacity` bytes; fewer only at the end, none once the
    // end is reached. Throws FileError when the bytes can't be read.
    virtual std::size_t Read(char* buffer, std::size_t capacity) = 0;
};
