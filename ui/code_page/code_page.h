#pragma once

#include <QString>
#include <array>
#include <string_view>

// A single-byte character set as the windows use it: one character for each byte value.
using CodePageTable = std::array<char16_t, 256>;

namespace CodePage {

// The text of the bytes, one character per byte.
inline QString Decode(const CodePageTable& characterOfByte, std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        *out++ = QChar(characterOfByte[static_cast<unsigned char>(byte)]);
    }
    return text;
}

} // namespace CodePage
