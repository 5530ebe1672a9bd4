#pragma once

#include <chrono>
#include <string>

// What the printer list, the raw job and the job monitor say alike about the CUPS
// scheduler they talk to, and the bound on waiting for it.
namespace CupsScheduler {

// "No print scheduler answers at SERVER.", SERVER being the socket path or host the
// library was pointed at. The library's own words for that case are only the socket's
// errno ("Bad file descriptor"), which tells a user nothing.
std::string NoAnswerMessage();

// "The print scheduler at SERVER did not answer within 15 s.": it took the connection
// but said nothing in the time allowed.
std::string SilentMessage(std::chrono::milliseconds timeout);

// Whether the scheduler answers a short question (CUPS-Get-Default) within the time-out:
// empty when it does, else the words of NoAnswerMessage or SilentMessage. For the library
// calls that take no connection of ours, which would otherwise wait minutes on a
// scheduler that took the connection and said nothing.
std::string CheckAnswers(std::chrono::milliseconds timeout);

// The scheduler's address of a queue or class by its name, "ipp://localhost:PORT/printers/NAME":
// the scheduler finds either under that path.
std::string QueueUri(const std::string& name);

} // namespace CupsScheduler
