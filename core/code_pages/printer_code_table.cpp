#include "core/code_pages/printer_code_table.h"

#include "core/code_pages/code_page.h"
#include "core/code_pages/utf8.h"
#include "core/notation.h"

#include <array>
#include <cstdio>
#include <optional>

enum class TableEncoding {
    SingleByte, // one character a byte, from the named code page
    Utf8Text,
    NotShown, // a table this program holds no characters of: its upper half shows as \xNN
};

// One code table a printer selects by number: its name, what it is for, and the code page
// (CodePage::Known) whose characters it prints.
struct PrinterTableRow {
    unsigned number;
    const char* name;
    const char* description;
    const char* page;
    TableEncoding encoding;
};

// A 7-bit national set: the twelve characters it prints at NationalPositions, empty where
// this program does not know them.
struct NationalSetRow {
    unsigned number;
    const char* name;
    std::u16string_view characters;
};

namespace {

using enum TableEncoding;

// The positions of ASCII that national sets replace: # $ @ [ \ ] ^ ` { | } ~.
constexpr std::array<unsigned char, 12> NationalPositions{0x23, 0x24, 0x40, 0x5B, 0x5C, 0x5D,
                                                          0x5E, 0x60, 0x7B, 0x7C, 0x7D, 0x7E};

// ESC t n, after Epson's ESC/POS command reference (TM series).
constexpr PrinterTableRow EscPosTables[] = {
    {0, "PC437", "USA: Standard Europe", "cp437", SingleByte},
    {1, "Katakana", "", nullptr, NotShown},
    {2, "PC850", "Multilingual", "cp850", SingleByte},
    {3, "PC860", "Portuguese", "cp860", SingleByte},
    {4, "PC863", "Canadian-French", "cp863", SingleByte},
    {5, "PC865", "Nordic", "cp865", SingleByte},
    {6, "Hiragana", "", nullptr, NotShown},
    {7, "One-pass printing Kanji characters", "", nullptr, NotShown},
    {8, "One-pass printing Kanji characters", "", nullptr, NotShown},
    {11, "PC851", "Greek", nullptr, NotShown},
    {12, "PC853", "Turkish", nullptr, NotShown},
    {13, "PC857", "Turkish", nullptr, NotShown},
    {14, "PC737", "Greek", "cp737", SingleByte},
    {15, "ISO8859-7", "Greek", nullptr, NotShown},
    {16, "WPC1252", "", "cp1252", SingleByte},
    {17, "PC866", "Cyrillic #2", "cp866", SingleByte},
    {18, "PC852", "Latin 2", "cp852", SingleByte},
    {19, "PC858", "Euro", "cp858", SingleByte},
    {20, "Thai Character Code 42", "", nullptr, NotShown},
    {21, "Thai Character Code 11", "", nullptr, NotShown},
    {22, "Thai Character Code 13", "", nullptr, NotShown},
    {23, "Thai Character Code 14", "", nullptr, NotShown},
    {24, "Thai Character Code 16", "", nullptr, NotShown},
    {25, "Thai Character Code 17", "", nullptr, NotShown},
    {26, "Thai Character Code 18", "", nullptr, NotShown},
    {30, "TCVN-3", "Vietnamese", nullptr, NotShown},
    {31, "TCVN-3", "Vietnamese", nullptr, NotShown},
    {32, "PC720", "Arabic", nullptr, NotShown},
    {33, "WPC775", "Baltic Rim", "cp775", SingleByte},
    {34, "PC855", "Cyrillic", "cp855", SingleByte},
    {35, "PC861", "Icelandic", "cp861", SingleByte},
    {36, "PC862", "Hebrew", "cp862", SingleByte},
    {37, "PC864", "Arabic", nullptr, NotShown},
    {38, "PC869", "Greek", nullptr, NotShown},
    {39, "ISO8859-2", "Latin 2", "iso-8859-2", SingleByte},
    {40, "ISO8859-15", "Latin 9", "iso-8859-15", SingleByte},
    {41, "PC1098", "Farsi", nullptr, NotShown},
    {42, "PC1118", "Lithuanian", nullptr, NotShown},
    {43, "PC1119", "Lithuanian", nullptr, NotShown},
    {44, "PC1125", "Ukrainian", nullptr, NotShown},
    {45, "WPC1250", "Latin 2", "cp1250", SingleByte},
    {46, "WPC1251", "Cyrillic", "cp1251", SingleByte},
    {47, "WPC1253", "Greek", nullptr, NotShown},
    {48, "WPC1254", "Turkish", "cp1254", SingleByte},
    {49, "WPC1255", "Hebrew", nullptr, NotShown},
    {50, "WPC1256", "Arabic", nullptr, NotShown},
    {51, "WPC1257", "Baltic Rim", nullptr, NotShown},
    {52, "WPC1258", "Vietnamese", nullptr, NotShown},
    {53, "KZ-1048", "Kazakhstan", nullptr, NotShown},
    {255, "User-defined page", "", nullptr, NotShown},
};

// ESC R n, after the same reference.
constexpr NationalSetRow EscPosNationalSets[] = {
    {0, "USA", u"#$@[\\]^`{|}~"},           {1, "France", u"#$à°ç§^`éùè¨"},
    {2, "Germany", u"#$§ÄÖÜ^`äöüß"},        {3, "UK", u"£$@[\\]^`{|}~"},
    {4, "Denmark I", u"#$@ÆØÅ^`æøå~"},      {5, "Sweden", u"#¤ÉÄÖÅÜéäöåü"},
    {6, "Italy", u"#$@°\\é^ùàòèì"},         {7, "Spain I", u"₧$@¡Ñ¿^`¨ñ}~"},
    {8, "Japan", u"#$@[¥]^`{|}~"},          {9, "Norway", u"#¤ÉÆØÅÜéæøåü"},
    {10, "Denmark II", u"#$ÉÆØÅÜéæøåü"},    {11, "Spain II", u"#$á¡Ñ¿é`íñóú"},
    {12, "Latin America", u"#$á¡Ñ¿éüíñóú"}, {13, "Korea", u"#$@[₩]^`{|}~"},
};

// ^CI 0 to 12, after Zebra's ZPL II programming guide: code page 850 with national
// characters. Which characters each but U.S.A. 1 puts where is not held here, so those twelve
// positions show as \xNN under them.
constexpr NationalSetRow ZplNationalSets[] = {
    {0, "U.S.A. 1", u"#$@[\\]^`{|}~"},
    {1, "U.S.A. 2", u""},
    {2, "U.K.", u""},
    {3, "Holland", u""},
    {4, "Denmark/Norway", u""},
    {5, "Sweden/Finland", u""},
    {6, "Germany", u""},
    {7, "France 1", u""},
    {8, "France 2", u""},
    {9, "Italy", u""},
    {10, "Spain", u""},
    {11, "Miscellaneous", u""},
    {12, "Japan", u""},
};

// ^CI n from 13 on, after the same guide.
constexpr PrinterTableRow ZplTables[] = {
    {13, "code page 850", "Zebra", "cp850", SingleByte},
    {14, "double-byte Asian", "", nullptr, NotShown},
    {15, "Shift-JIS", "", nullptr, NotShown},
    {16, "EUC-JP and EUC-CN", "", nullptr, NotShown},
    {24, "single-byte Asian", "", nullptr, NotShown},
    {26, "multibyte Asian", "with ASCII transparency", nullptr, NotShown},
    {27, "code page 1252", "Zebra", "cp1252", SingleByte},
    {28, "UTF-8", "", nullptr, Utf8Text},
    {29, "UTF-16BE", "", nullptr, NotShown},
    {30, "UTF-16LE", "", nullptr, NotShown},
    {31, "code page 1250", "Zebra", "cp1250", SingleByte},
    {33, "code page 1251", "", "cp1251", SingleByte},
    {34, "code page 1253", "", nullptr, NotShown},
    {35, "code page 1254", "", "cp1254", SingleByte},
    {36, "code page 1255", "", nullptr, NotShown},
};

// The rows ^CI 0 to 12 select: the national set's name over code page 850.
constexpr PrinterTableRow ZplNationalTable{0, "code page 850", "with national characters", "cp850",
                                           SingleByte};

template <std::size_t Size> constexpr bool TwelveEach(const NationalSetRow (&rows)[Size]) {
    for (const NationalSetRow& row : rows) {
        if (!row.characters.empty() && row.characters.size() != NationalPositions.size()) {
            return false;
        }
    }
    return true;
}
static_assert(TwelveEach(EscPosNationalSets) && TwelveEach(ZplNationalSets));

template <typename Row, std::size_t Size>
const Row* Find(const Row (&rows)[Size], unsigned number) {
    for (const Row& row : rows) {
        if (row.number == number) {
            return &row;
        }
    }
    return nullptr;
}

int NationalIndex(unsigned char byte) {
    for (std::size_t i = 0; i < NationalPositions.size(); ++i) {
        if (NationalPositions[i] == byte) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void AppendHex(std::string& text, unsigned char byte) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
    text += hex;
}

// A character as the text shows it: itself, or its token when it is a control character.
void AppendCharacter(std::string& text, char32_t character) {
    if (character < 0x20 || character == 0x7F) {
        text += modTools::BytesToNotation(std::string(1, static_cast<char>(character)));
    } else {
        Utf8::Append(text, character);
    }
}

// No character this program knows for the byte.
constexpr char32_t NotKnown = 0xFFFFFFFF;

} // namespace

PrinterCodeTable::PrinterCodeTable()
    : table_(&EscPosTables[0]), national_(&EscPosNationalSets[0]) {}

PrinterCodeTable PrinterCodeTable::WithEscPosTable(unsigned number) const {
    PrinterCodeTable table = *this;
    table.table_ = Find(EscPosTables, number);
    table.unknownTable_ = number;
    return table;
}

PrinterCodeTable PrinterCodeTable::WithEscPosNationalSet(unsigned number) const {
    PrinterCodeTable table = *this;
    table.national_ = Find(EscPosNationalSets, number);
    table.unknownNational_ = number;
    return table;
}

PrinterCodeTable PrinterCodeTable::Zpl(unsigned number) {
    PrinterCodeTable table;
    table.unknownTable_ = number;
    table.unknownNational_ = 0;
    table.national_ = nullptr;
    if (const NationalSetRow* national = Find(ZplNationalSets, number)) {
        table.table_ = &ZplNationalTable;
        table.national_ = national;
    } else {
        table.table_ = Find(ZplTables, number);
    }
    return table;
}

std::string PrinterCodeTable::Name() const {
    if (table_ == &ZplNationalTable) {
        return national_->name;
    }
    return table_ != nullptr ? table_->name : "code page " + std::to_string(unknownTable_);
}

std::string PrinterCodeTable::Description() const {
    if (table_ == nullptr) {
        return Name() + " (not known)";
    }
    const std::string_view description = table_->description;
    return Name() + (table_ == &ZplNationalTable ? " (code page 850 with national characters)"
                     : description.empty()       ? ""
                                                 : " (" + std::string(description) + ")");
}

std::string PrinterCodeTable::NationalDescription() const {
    if (national_ != nullptr) {
        return national_->name;
    }
    return std::to_string(unknownNational_) + " (not known)";
}

bool PrinterCodeTable::National() const {
    if (national_ == nullptr) {
        return unknownNational_ != 0;
    }
    return national_->number != 0 && table_ != &ZplNationalTable;
}

std::string PrinterCodeTable::Text(std::string_view bytes, bool cut, bool* invalid) const {
    const bool utf8 = table_ != nullptr && table_->encoding == Utf8Text;
    const CodePage* page =
        table_ != nullptr && table_->page != nullptr ? CodePage::Known(table_->page) : nullptr;
    // The twelve positions print the national set's characters, ASCII's where there is none
    // (^CI 13 on), and show as not known under a set whose characters are not held.
    const bool nationalKnown =
        national_ == nullptr ? unknownNational_ == 0 : !national_->characters.empty();
    std::string text = "\"";
    std::size_t at = 0;
    for (std::size_t shown = 0; at < bytes.size() && shown < ShownCharacters; ++shown) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (utf8 && byte >= 0x80) {
            const std::optional<Utf8::Decoded> decoded = Utf8::DecodeAt(bytes, at);
            if (decoded && decoded->character >= 0xA0) {
                Utf8::Append(text, decoded->character);
                at += decoded->length;
                continue;
            }
            if (!decoded && cut && bytes.size() - at < 4) {
                // A character the kept bytes cut short is no fault of the file.
                break;
            }
            const std::size_t length = decoded ? decoded->length : 1;
            for (std::size_t i = 0; i < length; ++i) {
                AppendHex(text, static_cast<unsigned char>(bytes[at + i]));
            }
            if (!decoded && invalid != nullptr) {
                *invalid = true;
            }
            at += length;
            continue;
        }
        ++at;
        char32_t character = byte;
        const int position = NationalIndex(byte);
        if (byte >= 0x80) {
            character = page != nullptr ? page->CharacterOf(byte) : NotKnown;
        } else if (position >= 0 && national_ != nullptr && nationalKnown) {
            character = national_->characters[static_cast<std::size_t>(position)];
        } else if (position >= 0 && !nationalKnown) {
            character = NotKnown;
        }
        if (character == NotKnown || (character >= 0x80 && character < 0xA0)) {
            AppendHex(text, byte);
        } else {
            AppendCharacter(text, character);
        }
    }
    text += '"';
    if (at < bytes.size() || cut) {
        text += "\u2026";
    }
    return text;
}
