#include "core/inspect/pcl_decoder.h"

#include "core/inspect/command_sink.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <vector>

namespace {

constexpr char Esc = 0x1b;
// A value keeps at most this many characters; PCL's own are far shorter.
constexpr std::size_t ValueLimit = 24;
// A combined escape's meaning is written up to about this many bytes, then "...": an
// escape may combine any number of parameters.
constexpr std::size_t MeaningLimit = 512;
// The parameters a summary keeps to write an escape's meaning from: enough to reach the
// limit, as each adds at least 3 bytes ("; ?") after the first.
constexpr std::size_t KeptLimit = MeaningLimit / 3 + 2;
// The largest block of data a W-ended command may announce.
constexpr long long DataLimit = 32767 * 1024LL;

// A parameterized command: ESC, its family character, its group character (0 where it
// has none, as ESC ( 10 U), and the letter that ends it; `data` when the value counts
// bytes of data that follow.
struct PclRow {
    char family;
    char group;
    char letter;
    bool data;
    const char* meaning;
};

// After HP's PCL 5 technical reference. {v} is the value, {w} its words.
constexpr PclRow Commands[] = {
    {'&', 'l', 'O', false, "orientation: {w}"},
    {'&', 'l', 'A', false, "page size: {w}"},
    {'&', 'l', 'H', false, "paper source: {w}"},
    {'&', 'l', 'X', false, "copies: {v}"},
    {'&', 'l', 'S', false, "duplex: {w}"},
    {'&', 'l', 'E', false, "top margin: {v} lines"},
    {'&', 'l', 'F', false, "text length: {v} lines"},
    {'&', 'l', 'D', false, "line spacing: {v} lines per inch"},
    {'&', 'l', 'C', false, "vertical motion index: {v}"},
    {'&', 'l', 'P', false, "page length: {v} lines"},
    {'&', 'l', 'L', false, "perforation skip: {w}"},
    {'&', 'l', 'M', false, "media type: {v}"},
    {'&', 'l', 'G', false, "output bin: {v}"},
    {'&', 'l', 'U', false, "left offset registration: {v} decipoints"},
    {'&', 'l', 'Z', false, "top offset registration: {v} decipoints"},
    {'&', 'a', 'C', false, "cursor to column {v}"},
    {'&', 'a', 'R', false, "cursor to row {v}"},
    {'&', 'a', 'H', false, "cursor across to {v} decipoints"},
    {'&', 'a', 'V', false, "cursor down to {v} decipoints"},
    {'&', 'a', 'L', false, "left margin: column {v}"},
    {'&', 'a', 'M', false, "right margin: column {v}"},
    {'&', 'a', 'P', false, "print direction: {v} degrees"},
    {'&', 'a', 'G', false, "duplex page side: {v}"},
    {'&', 'k', 'G', false, "line termination: {v}"},
    {'&', 'k', 'H', false, "horizontal motion index: {v}"},
    {'&', 'k', 'S', false, "pitch mode: {v}"},
    {'&', 's', 'C', false, "end-of-line wrap: {w}"},
    {'&', 'd', 'D', false, "underline on: {v}"},
    {'&', 'd', '@', false, "underline off"},
    {'&', 'f', 'S', false, "cursor position: {w}"},
    {'&', 'f', 'Y', false, "macro ID: {v}"},
    {'&', 'f', 'X', false, "macro control: {v}"},
    {'&', 'u', 'D', false, "unit of measure: {v} per inch"},
    {'&', 'p', 'X', true, "transparent print data: {v} bytes"},
    {'&', 'n', 'W', true, "alphanumeric ID: {v} bytes"},
    {'*', 'p', 'X', false, "cursor across to {v} dots"},
    {'*', 'p', 'Y', false, "cursor down to {v} dots"},
    {'*', 'p', 'R', false, "set pattern reference point: {v}"},
    {'*', 't', 'R', false, "raster resolution: {v} dpi"},
    {'*', 'r', 'A', false, "start raster graphics: {v}"},
    {'*', 'r', 'B', false, "end raster graphics"},
    {'*', 'r', 'C', false, "end raster graphics"},
    {'*', 'r', 'S', false, "raster width: {v} pixels"},
    {'*', 'r', 'T', false, "raster height: {v} rows"},
    {'*', 'r', 'F', false, "raster presentation: {v}"},
    {'*', 'b', 'M', false, "raster compression: {w}"},
    {'*', 'b', 'Y', false, "raster y offset: {v} rows"},
    {'*', 'b', 'W', true, "raster row: {v} bytes"},
    {'*', 'b', 'V', true, "raster plane: {v} bytes"},
    {'*', 'c', 'A', false, "rectangle width: {v} dots"},
    {'*', 'c', 'B', false, "rectangle height: {v} dots"},
    {'*', 'c', 'H', false, "rectangle width: {v} decipoints"},
    {'*', 'c', 'V', false, "rectangle height: {v} decipoints"},
    {'*', 'c', 'P', false, "fill rectangle: {w}"},
    {'*', 'c', 'G', false, "pattern ID: {v}"},
    {'*', 'c', 'D', false, "font ID: {v}"},
    {'*', 'c', 'E', false, "character code: {v}"},
    {'*', 'c', 'F', false, "font control: {v}"},
    {'*', 'c', 'W', true, "user pattern: {v} bytes"},
    {'*', 'v', 'T', false, "pattern type: {v}"},
    {'*', 'v', 'N', false, "source transparency: {v}"},
    {'*', 'v', 'O', false, "pattern transparency: {v}"},
    {'*', 'v', 'W', true, "color configuration: {v} bytes"},
    {'*', 'o', 'W', true, "driver configuration: {v} bytes"},
    {'*', 'm', 'W', true, "dither matrix: {v} bytes"},
    {'*', 'l', 'W', true, "color lookup table: {v} bytes"},
    {'*', 'g', 'W', true, "raster configuration: {v} bytes"},
    {'(', 's', 'P', false, "primary font spacing: {w}"},
    {'(', 's', 'H', false, "primary font pitch: {v} characters per inch"},
    {'(', 's', 'V', false, "primary font height: {v} points"},
    {'(', 's', 'S', false, "primary font style: {v}"},
    {'(', 's', 'B', false, "primary font stroke weight: {v}"},
    {'(', 's', 'T', false, "primary font typeface: {v}"},
    {'(', 's', 'W', true, "character data: {v} bytes"},
    {'(', 0, 'X', false, "primary font by ID: {v}"},
    {'(', 0, '@', false, "primary font default: {v}"},
    {'(', 'f', 'W', true, "symbol set definition: {v} bytes"},
    {')', 's', 'P', false, "secondary font spacing: {w}"},
    {')', 's', 'H', false, "secondary font pitch: {v} characters per inch"},
    {')', 's', 'V', false, "secondary font height: {v} points"},
    {')', 's', 'S', false, "secondary font style: {v}"},
    {')', 's', 'B', false, "secondary font stroke weight: {v}"},
    {')', 's', 'T', false, "secondary font typeface: {v}"},
    {')', 's', 'W', true, "font header: {v} bytes"},
    {')', 0, 'X', false, "secondary font by ID: {v}"},
    {')', 0, '@', false, "secondary font default: {v}"},
    {'%', 0, 'B', false, "enter HP-GL/2: {v}"},
    {'%', 0, 'A', false, "enter PCL: {v}"},
    {'%', 0, 'X', false, "universal exit language: {v}"},
};

struct PclValue {
    char family;
    char group;
    char letter;
    int value;
    const char* words;
};

constexpr PclValue Values[] = {
    {'&', 'l', 'O', 0, "portrait"},
    {'&', 'l', 'O', 1, "landscape"},
    {'&', 'l', 'O', 2, "reverse portrait"},
    {'&', 'l', 'O', 3, "reverse landscape"},
    {'&', 'l', 'A', 1, "executive"},
    {'&', 'l', 'A', 2, "letter"},
    {'&', 'l', 'A', 3, "legal"},
    {'&', 'l', 'A', 6, "ledger"},
    {'&', 'l', 'A', 25, "A5"},
    {'&', 'l', 'A', 26, "A4"},
    {'&', 'l', 'A', 27, "A3"},
    {'&', 'l', 'A', 80, "Monarch envelope"},
    {'&', 'l', 'A', 81, "Commercial 10 envelope"},
    {'&', 'l', 'A', 90, "DL envelope"},
    {'&', 'l', 'A', 91, "C5 envelope"},
    {'&', 'l', 'A', 100, "B5 envelope"},
    {'&', 'l', 'A', 101, "custom"},
    {'&', 'l', 'H', 0, "eject page"},
    {'&', 'l', 'H', 1, "main tray"},
    {'&', 'l', 'H', 2, "manual feed"},
    {'&', 'l', 'H', 3, "manual envelope feed"},
    {'&', 'l', 'H', 4, "alternate tray"},
    {'&', 'l', 'H', 5, "optional large tray"},
    {'&', 'l', 'H', 6, "envelope feeder"},
    {'&', 'l', 'H', 7, "auto select"},
    {'&', 'l', 'S', 0, "simplex"},
    {'&', 'l', 'S', 1, "long-edge binding"},
    {'&', 'l', 'S', 2, "short-edge binding"},
    {'&', 'l', 'L', 0, "off"},
    {'&', 'l', 'L', 1, "on"},
    {'&', 's', 'C', 0, "on"},
    {'&', 's', 'C', 1, "off"},
    {'&', 'f', 'S', 0, "push"},
    {'&', 'f', 'S', 1, "pop"},
    {'*', 'b', 'M', 0, "none"},
    {'*', 'b', 'M', 1, "run-length"},
    {'*', 'b', 'M', 2, "TIFF"},
    {'*', 'b', 'M', 3, "delta row"},
    {'*', 'b', 'M', 5, "adaptive"},
    {'*', 'c', 'P', 0, "black"},
    {'*', 'c', 'P', 1, "white"},
    {'*', 'c', 'P', 2, "shading"},
    {'*', 'c', 'P', 3, "cross-hatch"},
    {'*', 'c', 'P', 5, "current pattern"},
    {'(', 's', 'P', 0, "fixed"},
    {'(', 's', 'P', 1, "proportional"},
    {')', 's', 'P', 0, "fixed"},
    {')', 's', 'P', 1, "proportional"},
};

// Two-character escapes: ESC and one byte from '0' to '~'.
struct PclShortRow {
    char code;
    const char* meaning;
};

constexpr PclShortRow ShortCommands[] = {
    {'E', "reset"},
    {'9', "clear horizontal margins"},
    {'=', "half line feed"},
    {'Y', "display functions on"},
    {'Z', "display functions off"},
};

struct ControlRow {
    char byte;
    const char* meaning;
};

constexpr ControlRow Controls[] = {
    {'\r', "carriage return"},          {'\n', "line feed"},
    {'\f', "form feed: eject page"},    {'\b', "backspace"},
    {'\t', "horizontal tab"},           {'\x0e', "shift out: secondary font"},
    {'\x0f', "shift in: primary font"},
};

inline bool IsText(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value >= 0x20 && value != 0x7f;
}

bool IsFamily(char byte) {
    return byte >= 0x21 && byte <= 0x2f;
}
bool IsGroup(char byte) {
    return byte >= 0x60 && byte <= 0x7e;
}
inline bool IsValueChar(char byte) {
    return (byte >= '0' && byte <= '9') || byte == '+' || byte == '-' || byte == '.';
}
// Ends a value: lowercase goes on to the next parameter, uppercase (and @) ends the escape.
bool IsLetter(char byte) {
    return byte >= 0x40 && byte <= 0x7e;
}

char Upper(char byte) {
    return byte >= 0x60 && byte <= 0x7e ? static_cast<char>(byte - 32) : byte;
}

// A value as strtoll reads it (a sign, then digits up to any other character, the largest
// number where it would overflow), without the call: a line of text has several.
inline long long NumberOf(std::string_view text) {
    constexpr long long largest = std::numeric_limits<long long>::max();
    const bool negative = !text.empty() && text[0] == '-';
    std::size_t i = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    long long number = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (number > (largest - digit) / 10) {
            return negative ? std::numeric_limits<long long>::min() : largest;
        }
        number = number * 10 + digit;
    }
    return negative ? -number : number;
}

// A parameterized command's place in the index below: its family (0x21-0x2f), its group
// (none, or 0x60-0x7e) and its letter in upper case (0x40-0x5e).
inline std::size_t RowKey(char family, char group, char key) {
    const std::size_t groupIndex = group == 0 ? 0 : static_cast<std::size_t>(group - 0x5f);
    return (static_cast<std::size_t>(family & 0x0f) * 32 + groupIndex) * 64 +
           static_cast<std::size_t>(key - 0x40);
}

// The row of a parameter, found in an index built once: a page holds thousands of them.
// Row numbers (1 and up, 0 for none) in 32 KiB, where pointers would not stay in the cache.
inline const PclRow* FindRow(char family, char group, char key) {
    static const std::vector<std::uint8_t> index = [] {
        static_assert(std::size(Commands) < 255);
        std::vector<std::uint8_t> rows(16 * 32 * 64, 0);
        for (std::size_t i = std::size(Commands); i-- > 0;) {
            const PclRow& row = Commands[i];
            rows[RowKey(row.family, row.group, row.letter)] = static_cast<std::uint8_t>(i + 1);
        }
        return rows;
    }();
    const std::uint8_t row = index[RowKey(family, group, key)];
    return row == 0 ? nullptr : &Commands[row - 1];
}

// The words of a value, the last row that names it.
const char* FindWords(char family, char group, char key, long long value) {
    const char* words = nullptr;
    for (const PclValue& row : Values) {
        if (row.family == family && row.group == group && row.letter == key && row.value == value) {
            words = row.words;
        }
    }
    return words;
}

} // namespace

void PclDecoder::Begin(std::uint64_t offset) {
    offset_ = offset;
    state_ = State::Idle;
}

void PclDecoder::Feed(std::string_view bytes, CommandSink& sink) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (state_ == State::Data) {
            const std::size_t take = command_.SkipData(dataLeft_, bytes.size() - i);
            offset_ += take;
            i += take - 1;
            if (dataLeft_ == 0) {
                state_ = State::Value;
                FinishEscape(sink);
            }
            continue;
        }
        if (state_ == State::Text || state_ == State::Value) {
            // A text and a value run up to their first other byte: taken whole.
            const bool text = state_ == State::Text;
            std::size_t end = i;
            while (end < bytes.size() && (text ? IsText(bytes[end]) : IsValueChar(bytes[end]))) {
                ++end;
            }
            TakeRun(bytes.substr(i, end - i));
            offset_ += end - i;
            i = end;
            if (i == bytes.size()) {
                break;
            }
        }
        if ((state_ == State::Idle || state_ == State::Text) && bytes[i] == Esc &&
            !command_.WantsMeaning() && TakeEscape(bytes, i, sink)) {
            continue;
        }
        Byte(bytes[i], sink);
        ++offset_;
    }
    command_.FlushSound(sink);
}

bool PclDecoder::TakeEscape(std::string_view bytes, std::size_t& i, CommandSink& sink) {
    // As EscapeByte, ValueByte and Parameter: each parameter's value and letter, known,
    // not too long and announcing no data, up to the letter that ends the escape.
    std::size_t at = i + 1;
    if (at + 1 >= bytes.size() || !IsFamily(bytes[at])) {
        return false;
    }
    const char family = bytes[at++];
    const char group = IsGroup(bytes[at]) ? bytes[at++] : 0;
    std::uint64_t images = 0;
    while (true) {
        const std::size_t value = at;
        while (at < bytes.size() && IsValueChar(bytes[at])) {
            ++at;
        }
        if (at == bytes.size() || at - value > ValueLimit || !IsLetter(bytes[at])) {
            return false;
        }
        const char letter = bytes[at++];
        const PclRow* row = FindRow(family, group, Upper(letter));
        if (row == nullptr || row->data) {
            return false;
        }
        if (family == '*' && group == 'r' && Upper(letter) == 'A') {
            ++images;
        }
        if (letter >= 0x40 && letter <= 0x5e) {
            break;
        }
    }
    if (state_ == State::Text) {
        FinishText(sink);
    }
    counts_.images += images;
    ++counts_.commands;
    command_.CountSound();
    offset_ += at - i;
    i = at - 1;
    return true;
}

void PclDecoder::Byte(char byte, CommandSink& sink) {
    switch (state_) {
    case State::Idle:
        StartCommand(byte, sink);
        return;
    case State::Text:
        if (IsText(byte)) {
            command_.Add(byte);
            return;
        }
        FinishText(sink);
        StartCommand(byte, sink);
        return;
    case State::Escape:
        EscapeByte(byte, sink);
        return;
    case State::Group:
        command_.Add(byte);
        group_ = IsGroup(byte) ? byte : 0;
        state_ = State::Value;
        if (group_ == 0) {
            ValueByte(byte, sink);
        }
        return;
    case State::Value:
        command_.Add(byte);
        ValueByte(byte, sink);
        return;
    case State::Data:
        return;
    }
}

void PclDecoder::TakeRun(std::string_view run) {
    command_.Add(run);
    if (state_ == State::Value) {
        const std::size_t room = ValueLimit - std::min(ValueLimit, value_.size());
        value_.append(run.substr(0, room));
        valueTooLong_ = valueTooLong_ || run.size() > room;
    }
}

void PclDecoder::StartCommand(char byte, CommandSink& sink) {
    command_.Start(offset_);
    command_.Add(byte);
    if (IsText(byte)) {
        state_ = State::Text;
        content_ = true;
        return;
    }
    if (byte == Esc) {
        state_ = State::Escape;
        family_ = 0;
        group_ = 0;
        meaning_.clear();
        meaningCut_ = false;
        said_.clear();
        kept_ = 0;
        keptAll_ = true;
        problem_.clear();
        value_.clear();
        valueTooLong_ = false;
        dataTotal_ = 0;
        return;
    }
    state_ = State::Idle;
    for (const ControlRow& row : Controls) {
        if (row.byte == byte) {
            if (byte == '\f') {
                ++counts_.pages;
                content_ = false;
            }
            if (command_.WantsMeaning()) {
                command_.Finish(sink, counts_, row.meaning, {}, "control");
            } else {
                command_.FinishSound(sink, counts_, "control");
            }
            return;
        }
    }
    command_.Finish(sink, counts_, "", "unknown control byte", "control");
}

void PclDecoder::EscapeByte(char byte, CommandSink& sink) {
    command_.Add(byte);
    if (IsFamily(byte)) {
        family_ = byte;
        state_ = State::Group;
        return;
    }
    state_ = State::Idle;
    for (const PclShortRow& row : ShortCommands) {
        if (row.code == byte) {
            if (byte == 'E' && content_) {
                // A reset prints the page it ends.
                ++counts_.pages;
                content_ = false;
            }
            const char name[] = {'E', 'S', 'C', ' ', byte};
            if (command_.WantsMeaning()) {
                command_.Finish(sink, counts_, row.meaning, {}, std::string(name, sizeof name));
            } else {
                command_.FinishSound(sink, counts_, std::string_view(name, sizeof name));
            }
            return;
        }
    }
    command_.Finish(sink, counts_, "", "unknown command", "ESC");
}

void PclDecoder::ValueByte(char byte, CommandSink& sink) {
    if (IsValueChar(byte)) {
        if (value_.size() < ValueLimit) {
            value_.push_back(byte);
        } else {
            valueTooLong_ = true;
        }
        return;
    }
    if (!IsLetter(byte)) {
        problem_ =
            "malformed escape: unexpected byte " + std::to_string(static_cast<unsigned char>(byte));
        FinishEscape(sink);
        return;
    }
    Parameter(byte);
    value_.clear();
    if (state_ == State::Data || byte < 0x40 || byte > 0x5e) {
        // A lowercase letter goes on with the next parameter of the same group.
        return;
    }
    FinishEscape(sink);
}

void PclDecoder::Parameter(char letter) {
    const char key = Upper(letter);
    const long long value = NumberOf(value_);
    if (valueTooLong_ && problem_.empty()) {
        problem_ = "parameter too long";
    }
    const PclRow* found = FindRow(family_, group_, key);
    if (found == nullptr && problem_.empty()) {
        problem_ = "unknown command";
    }
    if (command_.WantsMeaning()) {
        Describe(found != nullptr ? found->meaning : nullptr, key, value);
    } else if (kept_ < KeptLimit) {
        // A summary writes the meaning only if a problem shows: it keeps what to write it from.
        kept_ += 1;
        said_.append(value_).push_back(letter);
    } else {
        keptAll_ = false;
    }
    if (found == nullptr) {
        return;
    }
    if (family_ == '*' && group_ == 'r' && key == 'A') {
        // An image is its rows from start to end of raster graphics.
        ++counts_.images;
    }
    if (found->data) {
        if (value < 0 || value > DataLimit) {
            if (problem_.empty()) {
                problem_ = "parameter out of range: " + value_;
            }
            return;
        }
        if (family_ == '*' && group_ == 'b') {
            content_ = true;
            counts_.imageBytes += static_cast<std::uint64_t>(value);
        }
        dataTotal_ = static_cast<std::uint64_t>(value);
        dataLeft_ = dataTotal_;
        if (dataLeft_ > 0) {
            state_ = State::Data;
        }
    }
}

// Into a buffer kept from escape to escape, so that no parameter costs an allocation.
void PclDecoder::Describe(const char* meaning, char key, long long value) {
    if (meaning_.size() >= MeaningLimit) {
        if (!meaningCut_) {
            meaning_ += "...";
            meaningCut_ = true;
        }
        return;
    }
    if (!meaning_.empty()) {
        meaning_ += "; ";
    }
    if (meaning == nullptr) {
        meaning_ += '?';
        return;
    }
    std::string_view text = meaning;
    const std::string_view shown = value_.empty() ? std::string_view("0") : value_;
    // A meaning holds at most one {v} or {w}.
    const std::size_t open = text.find('{');
    if (open == std::string_view::npos || open + 2 >= text.size()) {
        meaning_ += text;
        return;
    }
    meaning_ += text.substr(0, open);
    if (text[open + 1] == 'v') {
        meaning_ += shown;
    } else if (const char* words = FindWords(family_, group_, key, value); words != nullptr) {
        meaning_ += words;
    } else {
        meaning_.append("value ").append(shown);
    }
    meaning_ += text.substr(open + 3);
}

void PclDecoder::SetMeanings(bool wanted) {
    if (wanted && !command_.WantsMeaning()) {
        // An escape in progress (a summary's decoder cloned for a listing) goes on with the
        // meaning of its parameters so far.
        Retell();
    }
    command_.SetMeanings(wanted);
}

void PclDecoder::Retell() {
    // Appended to what a listing wrote before it turned summary, if it did; the value being
    // read is kept.
    const std::string reading = value_;
    for (std::string_view said = said_; !said.empty();) {
        std::size_t letter = 0;
        while (IsValueChar(said[letter])) {
            ++letter;
        }
        value_.assign(said.substr(0, letter));
        const char key = Upper(said[letter]);
        const PclRow* found = FindRow(family_, group_, key);
        Describe(found != nullptr ? found->meaning : nullptr, key, NumberOf(value_));
        said.remove_prefix(letter + 1);
    }
    if (!keptAll_) {
        // The meaning is at its limit by now: what follows is only marked.
        Describe(nullptr, 0, 0);
    }
    said_.clear();
    kept_ = 0;
    keptAll_ = true;
    value_ = reading;
}

void PclDecoder::FinishEscape(CommandSink& sink) {
    state_ = State::Idle;
    if (!problem_.empty() && !command_.WantsMeaning()) {
        Retell();
    }
    // "ESC & l", "ESC ( ", or "ESC" where the file ended after it.
    const char name[] = {'E', 'S', 'C', ' ', family_, ' ', group_};
    const std::string_view named(name, family_ == 0 ? 3 : group_ == 0 ? 5 : 7);
    if (problem_.empty() && !command_.WantsMeaning()) {
        command_.FinishSound(sink, counts_, named);
        return;
    }
    command_.Finish(sink, counts_, meaning_, problem_, std::string(named));
}

void PclDecoder::FinishText(CommandSink& sink) {
    state_ = State::Idle;
    if (!command_.WantsMeaning()) {
        command_.FinishSound(sink, counts_, "text");
        return;
    }
    command_.Finish(sink, counts_, "text: " + std::to_string(command_.Length()) + " characters", {},
                    "text");
}

void PclDecoder::End(CommandSink& sink) {
    switch (state_) {
    case State::Idle:
        break;
    case State::Text:
        FinishText(sink);
        break;
    case State::Escape:
    case State::Group:
    case State::Value:
        problem_ = "truncated: the file ends inside an escape";
        FinishEscape(sink);
        break;
    case State::Data:
        problem_ = "truncated: " + std::to_string(dataTotal_ - dataLeft_) + " of " +
                   std::to_string(dataTotal_) + " data bytes";
        FinishEscape(sink);
        break;
    }
    if (content_) {
        // The last page, printed when the job ends.
        ++counts_.pages;
        content_ = false;
    }
}
