#pragma once

#include <optional>
#include <string>
#include <string_view>

// Names and texts at the edge between the program and Windows (file names, the spooler's
// printer names). Inside the program they are UTF-8 byte strings; the system's wide calls
// take and give UTF-16. The ANSI calls are never used for them: their conversion best-fits
// a character the code page lacks to a look-alike ("Lab_Ω" becomes "Lab_O"), which names
// another file or printer. Built for Windows only.
namespace WinText {

// The UTF-16 form of UTF-8 text; none when the text is no valid UTF-8, which is refused
// rather than guessed at.
std::optional<std::wstring> Wide(std::string_view utf8);

// The UTF-8 form of UTF-16 text from the system (an unpaired surrogate becomes U+FFFD).
std::string Utf8(std::wstring_view wide);

} // namespace WinText
