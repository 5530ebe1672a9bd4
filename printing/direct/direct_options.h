#pragma once

#include <chrono>
#include <string>

// What a job to a printer address may be told beyond its bytes: how long to wait, and
// for IPP printers the document format to declare. The system's scheduler is bounded
// here too, since every printer name may reach it.
struct DirectOptions {
    // How long a connection may take to be made.
    std::chrono::milliseconds connectTimeout{std::chrono::seconds(10)};
    // How long a write may make no progress before the job is given up.
    std::chrono::milliseconds stallTimeout{std::chrono::seconds(30)};
    // How long the system's print scheduler (CUPS) may take to answer: a scheduler that
    // takes the connection and never answers must not hold a job or a look-up for ever.
    std::chrono::milliseconds schedulerTimeout{std::chrono::seconds(15)};
    // The MIME type to declare to an IPP printer; empty to choose from the data.
    std::string documentFormat;
};
