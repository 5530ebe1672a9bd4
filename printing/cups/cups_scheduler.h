#pragma once

#include <string>

// What the printer list and the raw job say alike about the CUPS scheduler they talk to.
namespace CupsScheduler {

// "No print scheduler answers at SERVER.", SERVER being the socket path or host the
// library was pointed at. The library's own words for that case are only the socket's
// errno ("Bad file descriptor"), which tells a user nothing.
std::string NoAnswerMessage();

} // namespace CupsScheduler
