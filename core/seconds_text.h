#pragma once

#include <chrono>
#include <string>

// A time-out as messages write it: "1 s", "0.5 s", "2.25 s". Written by hand rather than
// with printf, whose decimal point follows the locale.
std::string SecondsText(std::chrono::milliseconds duration);
