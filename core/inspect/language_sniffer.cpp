#include "core/inspect/language_sniffer.h"

#include "core/inspect/universal_exit.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

struct Opening {
    std::string_view bytes;
    CommandLanguage language;
};

// Openings that name their language for certain. A job opened by the universal exit
// speaks PJL next.
constexpr std::array<Opening, 8> Openings{{
    {kUniversalExit, CommandLanguage::Pjl},
    {"%PDF-", CommandLanguage::Pdf},
    {"%!", CommandLanguage::PostScript},
    {") HP-PCL XL;", CommandLanguage::PclXl},
    {"RaS2", CommandLanguage::PwgRaster},
    {"UNIRAST", CommandLanguage::Unirast},
    {"@PJL", CommandLanguage::Pjl},
    {"^XA", CommandLanguage::Zpl},
}};

// Commands a receipt printer's data commonly holds anywhere in its first bytes.
constexpr std::array<std::string_view, 6> EscPosMarks{{"\x1b@", "\x1dV", "\x1dv0", "\x1d!", "\x1b!",
                                                       "\x1b"
                                                       "a"}};

// ESC followed by one of these opens an ESC/POS command.
constexpr std::string_view EscPosCodes = "@!-EGMadeJtR23 $\\p{Vr%=ciLSTW*D";

// The first word of a TSC label program's first line.
constexpr std::array<std::string_view, 11> TsplWords{{"SIZE", "GAP", "CLS", "DIRECTION",
                                                      "REFERENCE", "SPEED", "DENSITY", "BLINE",
                                                      "OFFSET", "CODEPAGE", "SET"}};

// EPL line commands: the command's letters, then a digit, a comma, a quote or the line end.
constexpr std::array<std::string_view, 22> EplCommands{
    {"N", "q",  "Q",  "S",  "D",  "R",  "I",  "O",  "A",  "B",  "P",
     "X", "LO", "LE", "LS", "LW", "GW", "ZT", "ZB", "JF", "JB", "FK"}};

bool IsSpace(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\f' || c == '\0';
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsPclEscape(std::string_view text) {
    if (text.size() < 2 || text[0] != '\x1b') {
        return false;
    }
    if (text[1] == 'E') {
        return text.size() == 2 || text[2] == '\x1b';
    }
    if (text.size() < 4) {
        return false;
    }
    const char group = text[2];
    const char value = text[3];
    if (text[1] == '&' || text[1] == '*') {
        return group >= 'a' && group <= 'z' && (IsDigit(value) || value == '-' || value == '+');
    }
    if (text[1] == '(' || text[1] == ')') {
        return IsDigit(group) || group == 's';
    }
    return false;
}

bool ContainsPcl(std::string_view text) {
    for (std::size_t at = text.find('\x1b'); at != std::string_view::npos;
         at = text.find('\x1b', at + 1)) {
        if (IsPclEscape(text.substr(at))) {
            return true;
        }
    }
    return false;
}

std::string_view FirstWord(std::string_view text) {
    const std::size_t end = text.find_first_of(" \r\n\t");
    return text.substr(0, end);
}

bool IsEplLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    for (std::string_view command : EplCommands) {
        if (!StartsWith(line, command)) {
            continue;
        }
        const std::string_view rest = line.substr(command.size());
        if (rest.empty() || IsDigit(rest[0]) || rest[0] == ',' || rest[0] == '"') {
            return true;
        }
    }
    return false;
}

// EPL: the first lines are all EPL commands, at least two of them.
bool IsEpl(std::string_view text, bool whole) {
    int lines = 0;
    while (!text.empty() && lines < 6) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos && !whole) {
            break;
        }
        const std::string_view line = text.substr(0, end);
        if (!line.empty() && line != "\r") {
            if (!IsEplLine(line)) {
                return false;
            }
            ++lines;
        }
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines >= 2;
}

// A TSC program clears its buffer with a line "CLS" or prints with "PRINT n".
bool IsTsplProgram(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line == "CLS" || (StartsWith(line, "PRINT ") && line.size() > 6 && IsDigit(line[6]))) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool IsText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto value = static_cast<unsigned char>(c);
        return value >= 0x20 || c == '\r' || c == '\n' || c == '\t' || c == '\f';
    });
}

bool ContainsAny(std::string_view text, const std::array<std::string_view, 6>& marks) {
    return std::any_of(marks.begin(), marks.end(), [text](std::string_view mark) {
        return text.find(mark) != std::string_view::npos;
    });
}

CommandLanguage ByFirstByte(std::string_view text) {
    const char first = text[0];
    if (first == '\x1d' || first == '\x1c' || first == '\x10') {
        return CommandLanguage::EscPos;
    }
    if (first == '\x1b' && text.size() >= 2) {
        if (IsPclEscape(text)) {
            return CommandLanguage::Pcl5;
        }
        if (EscPosCodes.find(text[1]) != std::string_view::npos) {
            return CommandLanguage::EscPos;
        }
    }
    if ((first == '^' || first == '~') && text.size() >= 3 && IsUpper(text[1]) &&
        (IsUpper(text[2]) || IsDigit(text[2]))) {
        if (first == '~' || text.find("^XA") != std::string_view::npos) {
            return CommandLanguage::Zpl;
        }
    }
    if (StartsWith(text, "! ") && text.size() >= 3 && (IsDigit(text[2]) || text[2] == 'U')) {
        return CommandLanguage::Cpcl;
    }
    return CommandLanguage::Unknown;
}

} // namespace

namespace LanguageSniffer {

bool IsPadding(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), IsSpace);
}

CommandLanguage Sniff(std::string_view opening, bool whole) {
    opening = opening.substr(0, WindowSize);
    const auto start = std::find_if_not(opening.begin(), opening.end(), IsSpace);
    const std::string_view text = opening.substr(static_cast<std::size_t>(start - opening.begin()));
    if (text.empty()) {
        return CommandLanguage::Unknown;
    }
    for (const Opening& known : Openings) {
        if (StartsWith(text, known.bytes)) {
            return known.language;
        }
    }
    if (const CommandLanguage language = ByFirstByte(text); language != CommandLanguage::Unknown) {
        return language;
    }
    const std::string_view word = FirstWord(text);
    if (std::find(TsplWords.begin(), TsplWords.end(), word) != TsplWords.end() &&
        IsTsplProgram(text)) {
        return CommandLanguage::Tspl;
    }
    if (IsEpl(text, whole)) {
        return CommandLanguage::Epl;
    }
    if (IsText(text)) {
        return CommandLanguage::Text;
    }
    // Text with a few commands among it: a receipt, or a page of PCL.
    if (ContainsAny(text, EscPosMarks)) {
        return CommandLanguage::EscPos;
    }
    if (ContainsPcl(text)) {
        return CommandLanguage::Pcl5;
    }
    return CommandLanguage::Unknown;
}

} // namespace LanguageSniffer
