#pragma once

#include <QString>
#include <cstdint>

// Where a print run stands: the file being sent, counted from 1 among the files the run
// sends, and its bytes taken by the spooler so far.
struct PrintProgress {
    int file = 0;
    int files = 0;
    std::uint64_t bytesSent = 0;
    std::uint64_t fileSize = 0;

    // "Printing file 2 of 5: 12.3 MiB of 256.0 MiB".
    QString Text() const;
};

// A byte count as a person reads it: "512 bytes", "1.5 KiB", "12.3 MiB", "1.0 GiB".
QString ByteCountText(std::uint64_t bytes);
