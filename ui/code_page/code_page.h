#pragma once

#include "core/code_pages/code_page.h"

#include <QString>
#include <array>
#include <string_view>

// A single-byte character set as the windows use it: one character for each byte value.
using CodePageTable = std::array<char16_t, 256>;

namespace CodePageTables {

// The characters of the code page's bytes, for a window to draw or amend.
inline CodePageTable TableOf(const CodePage& codePage) {
    CodePageTable table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        table[byte] = codePage.CharacterOf(static_cast<unsigned char>(byte));
    }
    return table;
}

// The text of the bytes, one character per byte.
inline QString Decode(const CodePageTable& characterOfByte, std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        *out++ = QChar(characterOfByte[static_cast<unsigned char>(byte)]);
    }
    return text;
}

} // namespace CodePageTables
