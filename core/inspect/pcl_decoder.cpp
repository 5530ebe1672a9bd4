#include "core/inspect/pcl_decoder.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr char Esc = 0x1b;
// A value keeps at most this many characters; PCL's own are far shorter.
constexpr std::size_t ValueLimit = 24;
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

bool IsText(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value >= 0x20 && value != 0x7f;
}

bool IsFamily(char byte) {
    return byte >= 0x21 && byte <= 0x2f;
}
bool IsGroup(char byte) {
    return byte >= 0x60 && byte <= 0x7e;
}
bool IsValueChar(char byte) {
    return (byte >= '0' && byte <= '9') || byte == '+' || byte == '-' || byte == '.';
}
// Ends a value: lowercase goes on to the next parameter, uppercase (and @) ends the escape.
bool IsLetter(char byte) {
    return byte >= 0x40 && byte <= 0x7e;
}

char Upper(char byte) {
    return byte >= 0x60 && byte <= 0x7e ? static_cast<char>(byte - 32) : byte;
}

} // namespace

void PclDecoder::Begin(std::uint64_t offset) {
    offset_ = offset;
    state_ = State::Idle;
}

void PclDecoder::Feed(std::string_view bytes, CommandSink& sink) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (state_ == State::Data) {
            const std::uint64_t take = std::min<std::uint64_t>(dataLeft_, bytes.size() - i);
            command_.Skip(take);
            dataLeft_ -= take;
            offset_ += take;
            i += static_cast<std::size_t>(take) - 1;
            if (dataLeft_ == 0) {
                state_ = State::Value;
                FinishEscape(sink);
            }
            continue;
        }
        Byte(bytes[i], sink);
        ++offset_;
    }
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
        meaning_.clear();
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
            command_.Finish(sink, counts_, row.meaning, {}, "control");
            return;
        }
    }
    command_.Finish(sink, counts_, "", "unknown control byte", "control");
}

void PclDecoder::EscapeByte(char byte, CommandSink& sink) {
    command_.Add(byte);
    if (IsFamily(byte)) {
        family_ = byte;
        name_ = std::string("ESC ") + byte;
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
            command_.Finish(sink, counts_, row.meaning, {}, std::string("ESC ") + byte);
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
    const long long value = value_.empty() ? 0 : std::strtoll(value_.c_str(), nullptr, 10);
    if (!meaning_.empty()) {
        meaning_ += "; ";
    }
    if (valueTooLong_ && problem_.empty()) {
        problem_ = "parameter too long";
    }
    const PclRow* found = nullptr;
    for (const PclRow& row : Commands) {
        if (row.family == family_ && row.group == group_ && row.letter == key) {
            found = &row;
            break;
        }
    }
    if (found == nullptr) {
        if (problem_.empty()) {
            problem_ = "unknown command";
        }
        meaning_ += "?";
        return;
    }
    const char* words = nullptr;
    for (const PclValue& row : Values) {
        if (row.family == family_ && row.group == group_ && row.letter == key &&
            row.value == value) {
            words = row.words;
        }
    }
    std::string text = found->meaning;
    if (const std::size_t at = text.find("{v}"); at != std::string::npos) {
        text.replace(at, 3, value_.empty() ? "0" : value_);
    }
    if (const std::size_t at = text.find("{w}"); at != std::string::npos) {
        text.replace(at, 3, words != nullptr ? words : "value " + (value_.empty() ? "0" : value_));
    }
    meaning_ += text;
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
        }
        dataTotal_ = static_cast<std::uint64_t>(value);
        dataLeft_ = dataTotal_;
        if (dataLeft_ > 0) {
            state_ = State::Data;
        }
    }
}

void PclDecoder::FinishEscape(CommandSink& sink) {
    state_ = State::Idle;
    std::string name = name_;
    if (group_ != 0) {
        name.push_back(' ');
        name.push_back(group_);
    }
    command_.Finish(sink, counts_, meaning_, problem_, name);
}

void PclDecoder::FinishText(CommandSink& sink) {
    state_ = State::Idle;
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
