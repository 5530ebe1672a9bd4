#include "core/code_pages/code_page_text.h"

#include "core/code_pages/code_page.h"
#include "core/code_pages/utf8.h"

#include <cstdio>
#include <optional>

namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// "U+2713 "✓"": the number always, the character itself only where a terminal shows it.
std::string Describe(char32_t character) {
    std::string text = "U+" + Hex(static_cast<unsigned>(character), 4);
    const bool visible = (character > 0x20 && character < 0x7F) || character >= 0xA0;
    if (visible) {
        text += " \"";
        Utf8::Append(text, character);
        text += '"';
    }
    return text;
}

} // namespace

namespace CodePageText {

ConversionError::ConversionError(std::size_t line, std::size_t column, const std::string& problem)
    : std::runtime_error("line " + std::to_string(line) + ", column " + std::to_string(column) +
                         ": " + problem),
      line_(line), column_(column) {}

std::string FromUtf8(std::string_view text, const CodePage* codePage) {
    std::string bytes;
    bytes.reserve(text.size());
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t at = 0; at < text.size();) {
        const std::optional<Utf8::Decoded> decoded = Utf8::DecodeAt(text, at);
        if (!decoded) {
            throw ConversionError(line, column,
                                  "byte 0x" + Hex(static_cast<unsigned char>(text[at]), 2) +
                                      " is not UTF-8 text");
        }
        if (codePage == nullptr) {
            bytes.append(text.substr(at, decoded->length));
        } else if (const std::optional<unsigned char> byte = codePage->ByteOf(decoded->character)) {
            bytes.push_back(static_cast<char>(*byte));
        } else {
            throw ConversionError(line, column,
                                  Describe(decoded->character) + " has no byte in " +
                                      std::string(codePage->Name()));
        }
        at += decoded->length;
        if (decoded->character == U'\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return bytes;
}

std::string ToUtf8(std::string_view bytes, const CodePage& codePage) {
    std::string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        Utf8::Append(text, codePage.CharacterOf(static_cast<unsigned char>(byte)));
    }
    return text;
}

} // namespace CodePageText
