#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text that comes from outside the program (what printers and spoolers say, the names
// senders and spoolers give jobs and users, file names) made safe to show on a terminal, in
// a log or in a window. Printable UTF-8 passes unchanged; every control character (C0,
// DEL, C1) and every byte that is not part of well-formed UTF-8 (a stray or cut-short
// sequence, an overlong form, a surrogate, a value past U+10FFFF) comes out as \xNN, one
// per byte. What comes out is always printable UTF-8, so a second pass changes nothing.
//
// The text is cut at maxLength bytes first: a name a sender chose at 255, a message or a
// whole line not at all (WholeText).
std::string SafeText(std::string_view text, std::size_t maxLength = 255);

// The maxLength of SafeText that cuts nothing.
inline constexpr std::size_t WholeText = std::string_view::npos;
