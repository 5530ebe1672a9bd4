#pragma once

#include <string_view>

// The universal exit language (UEL), ESC %-12345X: it ends whatever language a printer was
// reading and brings it back to PJL. Jobs begin and end with it, and the inspection splits
// files where it stands.
inline constexpr std::string_view kUniversalExit = "\x1b%-12345X";
