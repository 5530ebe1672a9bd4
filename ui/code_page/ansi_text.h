#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <string>
#include <string_view>

// The code box shows one character per byte through Windows-1252. Its five unassigned
// positions (0x81, 0x8D, 0x8F, 0x90, 0x9D) show as the C1 control characters of the same
// number, so every byte has exactly one character and every such character one byte.
// Any other character (a tick mark, an emoji, U+0080) has no byte and is reported, never
// replaced by a look-alike or a question mark.
namespace AnsiText {

QChar FromByte(unsigned char byte);
QString FromBytes(std::string_view bytes);

// The byte a character stands for; nothing for a character the code page cannot hold,
// and for either half of a surrogate pair.
std::optional<unsigned char> ToByte(QChar character);

// The first character of a text that has no byte: the whole code point (a surrogate pair
// joined into one, a lone surrogate as itself) and its index in the text, counted from 0
// in UTF-16 units as QString and QTextCursor count.
struct Unmappable {
    char32_t character;
    qsizetype position;
};

struct Encoded {
    std::string bytes; // empty when a character could not be converted
    std::optional<Unmappable> unmappable;

    explicit operator bool() const { return !unmappable.has_value(); }
};

// The bytes of the whole text, or the first character that stops the conversion.
Encoded ToBytes(QStringView text);

} // namespace AnsiText
