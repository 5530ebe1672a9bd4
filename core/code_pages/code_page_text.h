#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

class CodePage;

// Text as a user types it (UTF-8) and bytes as a printer reads them, through a code page.
namespace CodePageText {

// A text that has no bytes in the code page: what stopped it and where, as "line 2,
// column 5: U+2713 "✓" has no byte in cp1252". Lines and columns count characters from 1.
class ConversionError : public std::runtime_error {
public:
    ConversionError(std::size_t line, std::size_t column, const std::string& problem);
    std::size_t Line() const { return line_; }
    std::size_t Column() const { return column_; }

private:
    std::size_t line_;
    std::size_t column_;
};

// The bytes of the UTF-8 text in the code page, one byte per character. Without a code
// page the text stays the bytes it is, once it is known to be UTF-8. Throws
// ConversionError at the first byte that is no UTF-8 or character that has no byte.
std::string FromUtf8(std::string_view text, const CodePage* codePage);

// The UTF-8 text of the bytes, each byte as its character in the code page.
std::string ToUtf8(std::string_view bytes, const CodePage& codePage);

} // namespace CodePageText
