#include "ui/code_page/ansi_text.h"

#include "core/code_pages/code_page.h"
#include "ui/code_page/code_page.h"

namespace {

const CodePage& Windows1252() {
    return CodePage::Windows1252();
}

const CodePageTable& CharacterOfByte() {
    static const CodePageTable table = CodePageTables::TableOf(Windows1252());
    return table;
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
    return QChar(Windows1252().CharacterOf(byte));
}

QString FromBytes(std::string_view bytes) {
    return CodePageTables::Decode(CharacterOfByte(), bytes);
}

std::optional<unsigned char> ToByte(QChar character) {
    // Either half of a surrogate pair is no character of its own, and no code page has it.
    return Windows1252().ByteOf(character.unicode());
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
