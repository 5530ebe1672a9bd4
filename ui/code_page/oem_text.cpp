#include "ui/code_page/oem_text.h"

#include "core/code_pages/code_page.h"
#include "ui/code_page/code_page.h"

#include <array>

namespace {

// Byte 0 draws as a blank; 1 to 31 as the screen's graphic characters.
constexpr std::array<char16_t, 32> Low{
    u'\u0020', u'\u263A', u'\u263B', u'\u2665', u'\u2666', u'\u2663', u'\u2660', u'\u2022',
    u'\u25D8', u'\u25CB', u'\u25D9', u'\u2642', u'\u2640', u'\u266A', u'\u266B', u'\u263C',
    u'\u25BA', u'\u25C4', u'\u2195', u'\u203C', u'\u00B6', u'\u00A7', u'\u25AC', u'\u21A8',
    u'\u2191', u'\u2193', u'\u2192', u'\u2190', u'\u221F', u'\u2194', u'\u25B2', u'\u25BC',
};

// The characters of the bytes, with the screen's graphic characters for the control bytes
// in place of the controls that code page 437 holds there as text.
const CodePageTable& CharacterOfByte() {
    static const CodePageTable table = [] {
        CodePageTable characters = CodePageTables::TableOf(CodePage::Oem437());
        for (std::size_t byte = 0; byte < Low.size(); ++byte) {
            characters[byte] = Low[byte];
        }
        characters[0x7F] = u'\u2302'; // a house
        return characters;
    }();
    return table;
}

} // namespace

namespace OemText {

QChar FromByte(unsigned char byte) {
    return QChar(CharacterOfByte()[byte]);
}

QString FromBytes(std::string_view bytes) {
    return CodePageTables::Decode(CharacterOfByte(), bytes);
}

} // namespace OemText
