#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <utility>

// A single-byte character set: one Unicode character for each of the 256 byte values, no
// two alike, so that every byte has exactly one character and every such character one
// byte. The windows show bytes through these, and tolvenmark-cli converts text with them.
class CodePage {
public:
    using Characters = std::array<char16_t, 256>;

    // Windows-1252, the code box's: its five unassigned positions (0x81, 0x8D, 0x8F, 0x90,
    // 0x9D) are the C1 control characters of the same number.
    static const CodePage& Windows1252();
    // Code page 437, the PC's own. Bytes 0 to 31 and 127 are the control characters of
    // the same number: the graphic characters the PC's screen drew for them are a matter
    // of display, which the ASCII table adds on its own.
    static const CodePage& Oem437();
    // Code page 850, the PC's Western European set; 0 to 31 and 127 as for 437.
    static const CodePage& Oem850();

    // The code page a user names ("cp1252", "windows-1252", "cp437", "ibm437", "cp850",
    // "ibm850"), without regard to case; nothing for any other name.
    static const CodePage* Find(std::string_view name);
    // Every code page this program holds, by its short name: those of Find and the ones
    // printers select by number (CodePageTables: "cp852", "cp858", ..., "iso-8859-15").
    // Find stays with the names a user may type for --encoding.
    static const CodePage* Known(std::string_view name);

    // Its short name: "cp1252", "cp437", "cp850", "cp858"...
    std::string_view Name() const { return name_; }

    char16_t CharacterOf(unsigned char byte) const { return characters_[byte]; }

    // The byte that stands for the character; nothing for a character the code page
    // cannot hold.
    std::optional<unsigned char> ByteOf(char32_t character) const;

    CodePage(std::string_view name, const Characters& characters);

private:
    std::string_view name_;
    Characters characters_;
    // Every character with its byte, ordered by character for the reverse look-up.
    std::array<std::pair<char16_t, unsigned char>, 256> bytesByCharacter_;
};
