#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A name a sender chose (an LPD job name, user, queue), made safe to print on a terminal:
// control characters (C0, DEL, and C1 in UTF-8), backslashes and bytes that are no UTF-8
// are written as \xNN; the text is cut at maxLength bytes of the name.
std::string SafeText(std::string_view text, std::size_t maxLength = 255);
