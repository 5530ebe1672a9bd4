#include "core/safe_text.h"

#include "core/code_pages/utf8.h"

#include <optional>

namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
    static constexpr char Digits[] = "0123456789abcdef";
    out += "\\x";
    out += Digits[byte >> 4];
    out += Digits[byte & 0x0f];
}

// C0, DEL and C1: the characters a terminal may take for a command.
bool IsControl(char32_t character) {
    return character < 0x20 || (character >= 0x7f && character < 0xa0);
}

} // namespace

std::string SafeText(std::string_view text, std::size_t maxLength) {
    text = text.substr(0, maxLength);
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::optional<Utf8::Decoded> decoded = Utf8::DecodeAt(text, at);
        // A byte that starts no character is escaped alone; the next one may start one.
        const std::size_t length = decoded ? decoded->length : 1;
        if (decoded && !IsControl(decoded->character)) {
            out.append(text, at, length);
        } else {
            for (std::size_t i = at; i < at + length; ++i) {
                AppendEscaped(out, static_cast<unsigned char>(text[i]));
            }
        }
        at += length;
    }
    return out;
}
