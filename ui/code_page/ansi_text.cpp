#include "ui/code_page/ansi_text.h"

#include "ui/code_page/code_page.h"

#include <array>

namespace {

// Windows-1252 positions 0x80 to 0x9F; the five it leaves unassigned keep their C1 code
// point. Every other byte is the Latin-1 character of the same number.
constexpr std::array<char16_t, 32> HighControlRange{
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

constexpr CodePageTable CharacterOfByte = [] {
    std::array<char16_t, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        table[byte] = static_cast<char16_t>(byte);
    }
    for (std::size_t i = 0; i < HighControlRange.size(); ++i) {
        table[0x80 + i] = HighControlRange[i];
    }
    return table;
}();

bool InHighControlRange(char16_t unit) {
    return unit >= 0x80 && unit <= 0x9F;
}

char32_t CodePointAt(QStringView text, qsizetype at) {
    const QChar unit = text[at];
    if (unit.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
        return QChar::surrogateToUcs4(unit, text[at + 1]);
    }
    return unit.unicode();
}

} // namespace

namespace AnsiText {

QChar FromByte(unsigned char byte) {
    return QChar(CharacterOfByte[byte]);
}

QString FromBytes(std::string_view bytes) {
    return CodePage::Decode(CharacterOfByte, bytes);
}

std::optional<unsigned char> ToByte(QChar character) {
    const char16_t unit = character.unicode();
    if (unit < 0x100 && !InHighControlRange(unit)) {
        return static_cast<unsigned char>(unit);
    }
    for (std::size_t i = 0; i < HighControlRange.size(); ++i) {
        if (HighControlRange[i] == unit) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

Encoded ToBytes(QStringView text) {
    Encoded result;
    result.bytes.resize(static_cast<std::size_t>(text.size()));
    for (qsizetype at = 0; at < text.size(); ++at) {
        const std::optional<unsigned char> byte = ToByte(text[at]);
        if (!byte) {
            result.bytes.clear();
            result.unmappable = Unmappable{CodePointAt(text, at), at};
            return result;
        }
        result.bytes[static_cast<std::size_t>(at)] = static_cast<char>(*byte);
    }
    return result;
}

} // namespace AnsiText
