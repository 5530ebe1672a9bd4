#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// UTF-8, the text of terminals and files on Linux, one character at a time.
namespace Utf8 {

// Appends the character's UTF-8 bytes to the text.
void Append(std::string& text, char32_t character);

struct Decoded {
    char32_t character;
    std::size_t length; // in bytes, 1 to 4
};

// The character that starts at `at` (before the end of the text); nothing when the bytes
// there are no well-formed UTF-8: a stray continuation byte, a sequence cut short, an
// overlong form, a surrogate or a value past U+10FFFF.
std::optional<Decoded> DecodeAt(std::string_view text, std::size_t at);

} // namespace Utf8
