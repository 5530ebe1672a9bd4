#include "core/inspect/escpos_decoder.h"

#include "core/inspect/command_sink.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr char Esc = 0x1b;
constexpr char Gs = 0x1d;
constexpr char Fs = 0x1c;
constexpr char Dle = 0x10;
constexpr char Nul = 0x00;
// ESC D's tab positions and GS k's older bar codes end with NUL; neither takes more than
// 255 bytes, so a missing NUL is said there rather than read on for ever.
constexpr std::size_t NulListLimit = 255;

// How a command's bytes after its code are laid out.
enum class Shape {
    Fixed,       // `params` bytes
    Cut,         // GS V m, and n after it when m is 65 or above
    RasterImage, // GS v 0 m xL xH yL yH, then (xL + xH * 256) * (yL + yH * 256) bytes
    BitImage,    // ESC * m nL nH, then (nL + nH * 256) columns of 1 or 3 bytes
    Barcode,     // GS k m: data up to NUL when m <= 6, else n and n bytes
    Sized,       // GS ( X pL pH and (pL + pH * 256) bytes
    NulList,     // bytes up to a NUL (ESC D)
};

} // namespace

// One command: the byte that leads it (0 for a single control byte), its code, its
// layout, and its meaning with {1}, {2}... for the parameter bytes' values.
struct EscPosRow {
    char lead;
    char code;
    Shape shape;
    std::uint8_t params;
    const char* name;
    const char* meaning;
};

namespace {

// After Epson's ESC/POS command reference (TM series). Shapes other than Fixed name
// their own parameter count.
constexpr EscPosRow Commands[] = {
    {0, 0x0a, Shape::Fixed, 0, "LF", "print and line feed"},
    {0, 0x0d, Shape::Fixed, 0, "CR", "carriage return"},
    {0, 0x09, Shape::Fixed, 0, "HT", "horizontal tab"},
    {0, 0x0c, Shape::Fixed, 0, "FF", "print and eject page (page mode)"},
    {0, 0x18, Shape::Fixed, 0, "CAN", "cancel print data (page mode)"},
    {Esc, '@', Shape::Fixed, 0, "ESC @", "initialize printer"},
    {Esc, '!', Shape::Fixed, 1, "ESC !", "print mode: {1}"},
    {Esc, '-', Shape::Fixed, 1, "ESC -", "underline: {w}"},
    {Esc, 'E', Shape::Fixed, 1, "ESC E", "emphasized: {b}"},
    {Esc, 'G', Shape::Fixed, 1, "ESC G", "double-strike: {b}"},
    {Esc, 'M', Shape::Fixed, 1, "ESC M", "character font: {w}"},
    {Esc, 'a', Shape::Fixed, 1, "ESC a", "justification: {w}"},
    {Esc, 'd', Shape::Fixed, 1, "ESC d", "print and feed {1} lines"},
    {Esc, 'e', Shape::Fixed, 1, "ESC e", "print and reverse feed {1} lines"},
    {Esc, 'J', Shape::Fixed, 1, "ESC J", "print and feed {1} motion units"},
    {Esc, 't', Shape::Fixed, 1, "ESC t", "character code table: {1}"},
    {Esc, 'R', Shape::Fixed, 1, "ESC R", "international character set: {1}"},
    {Esc, '2', Shape::Fixed, 0, "ESC 2", "default line spacing"},
    {Esc, '3', Shape::Fixed, 1, "ESC 3", "line spacing: {1} motion units"},
    {Esc, ' ', Shape::Fixed, 1, "ESC SP", "right-side character spacing: {1}"},
    {Esc, '$', Shape::Fixed, 2, "ESC $", "absolute print position: {12}"},
    {Esc, '\\', Shape::Fixed, 2, "ESC \\", "relative print position: {12}"},
    {Esc, 'p', Shape::Fixed, 3, "ESC p", "drawer kick: pin {1}, on {2}, off {3} (x2 ms)"},
    {Esc, '{', Shape::Fixed, 1, "ESC {", "upside-down printing: {b}"},
    {Esc, 'V', Shape::Fixed, 1, "ESC V", "90-degree rotation: {1}"},
    {Esc, 'r', Shape::Fixed, 1, "ESC r", "print color: {1}"},
    {Esc, '%', Shape::Fixed, 1, "ESC %", "user-defined characters: {b}"},
    {Esc, '=', Shape::Fixed, 1, "ESC =", "select peripheral device: {1}"},
    {Esc, 'c', Shape::Fixed, 2, "ESC c", "panel or paper sensor setting: {2}"},
    {Esc, 'i', Shape::Fixed, 0, "ESC i", "cut paper: partial cut (one point left)"},
    {Esc, 'm', Shape::Fixed, 0, "ESC m", "cut paper: partial cut (three points left)"},
    {Esc, 'L', Shape::Fixed, 0, "ESC L", "select page mode"},
    {Esc, 'S', Shape::Fixed, 0, "ESC S", "select standard mode"},
    {Esc, 'T', Shape::Fixed, 1, "ESC T", "page mode print direction: {1}"},
    {Esc, 'W', Shape::Fixed, 8, "ESC W", "page mode print area"},
    {Esc, '*', Shape::BitImage, 3, "ESC *", "bit image"},
    {Esc, 'D', Shape::NulList, 0, "ESC D", "horizontal tab positions"},
    {Gs, '!', Shape::Fixed, 1, "GS !", "character size: {size}"},
    {Gs, 'B', Shape::Fixed, 1, "GS B", "white/black reverse: {b}"},
    {Gs, 'H', Shape::Fixed, 1, "GS H", "bar code text position: {w}"},
    {Gs, 'h', Shape::Fixed, 1, "GS h", "bar code height: {1} dots"},
    {Gs, 'w', Shape::Fixed, 1, "GS w", "bar code module width: {1}"},
    {Gs, 'f', Shape::Fixed, 1, "GS f", "bar code text font: {1}"},
    {Gs, 'L', Shape::Fixed, 2, "GS L", "left margin: {12} motion units"},
    {Gs, 'W', Shape::Fixed, 2, "GS W", "print area width: {12} motion units"},
    {Gs, 'P', Shape::Fixed, 2, "GS P", "motion units: 1/{1} inch across, 1/{2} inch down"},
    {Gs, 'a', Shape::Fixed, 1, "GS a", "automatic status back: {1}"},
    {Gs, 'r', Shape::Fixed, 1, "GS r", "transmit status: {1}"},
    {Gs, 'I', Shape::Fixed, 1, "GS I", "transmit printer ID: {1}"},
    {Gs, 'V', Shape::Cut, 1, "GS V", "cut paper: {w}"},
    {Gs, 'v', Shape::RasterImage, 6, "GS v 0", "raster image"},
    {Gs, 'k', Shape::Barcode, 1, "GS k", "bar code"},
    {Gs, '(', Shape::Sized, 3, "GS (", "extended function"},
    {Fs, 'p', Shape::Fixed, 2, "FS p", "print stored image {1}, mode {2}"},
    {Fs, '&', Shape::Fixed, 0, "FS &", "select Kanji mode"},
    {Fs, '.', Shape::Fixed, 0, "FS .", "cancel Kanji mode"},
    {Dle, 0x04, Shape::Fixed, 1, "DLE EOT", "real-time status: {w}"},
    {Dle, 0x05, Shape::Fixed, 1, "DLE ENQ", "real-time request: {1}"},
    {Dle, 0x14, Shape::Fixed, 3, "DLE DC4", "real-time command {1}: {2}, {3}"},
};

// The words of the first parameter's values, where a command gives them names. A command
// listed here takes no other value (the printer ignores the command).
struct ValueWords {
    char lead;
    char code;
    unsigned char value;
    const char* words;
};

constexpr ValueWords Values[] = {
    {Esc, '-', 0, "off"},
    {Esc, '-', '0', "off"},
    {Esc, '-', 1, "1 dot"},
    {Esc, '-', '1', "1 dot"},
    {Esc, '-', 2, "2 dots"},
    {Esc, '-', '2', "2 dots"},
    {Esc, 'M', 0, "font A"},
    {Esc, 'M', '0', "font A"},
    {Esc, 'M', 1, "font B"},
    {Esc, 'M', '1', "font B"},
    {Esc, 'M', 2, "font C"},
    {Esc, 'M', '2', "font C"},
    {Esc, 'a', 0, "left"},
    {Esc, 'a', '0', "left"},
    {Esc, 'a', 1, "center"},
    {Esc, 'a', '1', "center"},
    {Esc, 'a', 2, "right"},
    {Esc, 'a', '2', "right"},
    {Gs, 'H', 0, "none"},
    {Gs, 'H', '0', "none"},
    {Gs, 'H', 1, "above"},
    {Gs, 'H', '1', "above"},
    {Gs, 'H', 2, "below"},
    {Gs, 'H', '2', "below"},
    {Gs, 'H', 3, "above and below"},
    {Gs, 'H', '3', "above and below"},
    {Gs, 'V', 0, "full cut"},
    {Gs, 'V', '0', "full cut"},
    {Gs, 'V', 1, "partial cut"},
    {Gs, 'V', '1', "partial cut"},
    {Gs, 'V', 65, "feed {2} units and full cut"},
    {Gs, 'V', 66, "feed {2} units and partial cut"},
    {Gs, 'V', 97, "full cut, range {2} units"},
    {Gs, 'V', 98, "partial cut, range {2} units"},
    {Gs, 'V', 103, "feed {2} units, full cut, back to print start"},
    {Gs, 'V', 104, "feed {2} units, partial cut, back to print start"},
    {Dle, 0x04, 1, "printer"},
    {Dle, 0x04, 2, "offline cause"},
    {Dle, 0x04, 3, "error cause"},
    {Dle, 0x04, 4, "roll paper sensor"},
};

struct BarcodeName {
    unsigned char system;
    const char* name;
};

constexpr BarcodeName Barcodes[] = {
    {0, "UPC-A"},
    {1, "UPC-E"},
    {2, "EAN13"},
    {3, "EAN8"},
    {4, "CODE39"},
    {5, "ITF"},
    {6, "CODABAR"},
    {65, "UPC-A"},
    {66, "UPC-E"},
    {67, "EAN13"},
    {68, "EAN8"},
    {69, "CODE39"},
    {70, "ITF"},
    {71, "CODABAR"},
    {72, "CODE93"},
    {73, "CODE128"},
    {74, "GS1-128"},
    {75, "GS1 DataBar Omnidirectional"},
    {76, "GS1 DataBar Truncated"},
    {77, "GS1 DataBar Limited"},
    {78, "GS1 DataBar Expanded"},
};

// Where the rows of a lead and a code byte are found: each command asks. The leads are
// NUL (a control byte alone), ESC, GS, FS and DLE: 5 * 256 places, small enough to stay in
// the cache.
constexpr std::size_t KeyCount = 5 * 256;

inline std::size_t Key(char lead, char code) {
    std::size_t group = 0;
    switch (lead) {
    case Esc:
        group = 1;
        break;
    case Gs:
        group = 2;
        break;
    case Fs:
        group = 3;
        break;
    case Dle:
        group = 4;
        break;
    default:
        break;
    }
    return group * 256 + static_cast<unsigned char>(code);
}

// Row numbers (1 and up, 0 for none): the first row of a command is its row, as a search
// from the top would find.
inline const EscPosRow* FindRow(char lead, char code) {
    static const std::vector<std::uint8_t> index = [] {
        static_assert(std::size(Commands) < 255);
        std::vector<std::uint8_t> rows(KeyCount, 0);
        for (std::size_t i = std::size(Commands); i-- > 0;) {
            rows[Key(Commands[i].lead, Commands[i].code)] = static_cast<std::uint8_t>(i + 1);
        }
        return rows;
    }();
    const std::uint8_t row = index[Key(lead, code)];
    return row == 0 ? nullptr : &Commands[row - 1];
}

const ValueWords* FindWords(char lead, char code, unsigned char value, bool& listed) {
    static const std::vector<bool> named = [] {
        std::vector<bool> commands(KeyCount, false);
        for (const ValueWords& words : Values) {
            commands[Key(words.lead, words.code)] = true;
        }
        return commands;
    }();
    listed = false;
    if (!named[Key(lead, code)]) {
        return nullptr;
    }
    for (const ValueWords& words : Values) {
        if (words.lead == lead && words.code == code) {
            listed = true;
            if (words.value == value) {
                return &words;
            }
        }
    }
    return nullptr;
}

// The values a command whose first parameter has words (Values) accepts, a bit a value: a
// receipt's every ESC a, ESC E and ESC ! asks. Slots by key, 1 and up; 0 for a command that
// takes any value.
struct AcceptedValues {
    std::vector<std::uint8_t> slots = std::vector<std::uint8_t>(KeyCount, 0);
    std::vector<std::bitset<256>> values;
};

AcceptedValues BuildAccepted() {
    AcceptedValues built;
    for (const ValueWords& words : Values) {
        std::uint8_t& slot = built.slots[Key(words.lead, words.code)];
        if (slot == 0) {
            built.values.emplace_back();
            slot = static_cast<std::uint8_t>(built.values.size());
        }
        built.values[slot - 1].set(words.value);
    }
    return built;
}

// Built when the program loads: a guard asked at every command costs as much as the look.
const AcceptedValues Accepted = BuildAccepted();

// Whether a command's first parameter is one its words name, or it names none.
inline bool Accepts(char lead, char code, unsigned char value) {
    const std::uint8_t slot = Accepted.slots[Key(lead, code)];
    return slot == 0 || Accepted.values[slot - 1].test(value);
}

const char* BarcodeSystem(unsigned char system) {
    for (const BarcodeName& name : Barcodes) {
        if (name.system == system) {
            return name.name;
        }
    }
    return nullptr;
}

std::string LeadName(char lead) {
    switch (lead) {
    case Esc:
        return "ESC";
    case Gs:
        return "GS";
    case Fs:
        return "FS";
    default:
        return "DLE";
    }
}

inline bool IsLead(char byte) {
    return byte == Esc || byte == Gs || byte == Fs || byte == Dle;
}

inline bool IsTextByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value >= 0x20 && value != 0x7f;
}

// The template's placeholders filled in: {1}..{3} the parameter bytes, {12} the first two
// as a little-endian number, {b} the first's lowest bit as on/off, {w} its words.
std::string Fill(std::string_view text, const unsigned char* params, std::size_t count,
                 const char* words) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '{') {
            out.push_back(text[i]);
            continue;
        }
        const std::size_t close = text.find('}', i);
        const std::string_view key = text.substr(i + 1, close - i - 1);
        i = close;
        if (key == "12" && count >= 2) {
            out += std::to_string(params[0] + params[1] * 256);
        } else if (key == "b" && count >= 1) {
            out += (params[0] & 1) != 0 ? "on" : "off";
        } else if (key == "w") {
            out += words != nullptr ? Fill(words, params, count, nullptr)
                                    : "value " + std::to_string(count > 0 ? params[0] : 0);
        } else if (key == "size" && count >= 1) {
            out += "width x" + std::to_string((params[0] >> 4) + 1) + ", height x" +
                   std::to_string((params[0] & 0x0f) + 1);
        } else if (key.size() == 1 && key[0] >= '1' && key[0] <= '9') {
            // A parameter the file ended before is shown as "?".
            const auto index = static_cast<std::size_t>(key[0] - '1');
            out += index < count ? std::to_string(params[index]) : "?";
        }
    }
    return out;
}

} // namespace

EscPosDecoder::EscPosDecoder() = default;

void EscPosDecoder::Begin(std::uint64_t offset) {
    offset_ = offset;
    state_ = State::Idle;
}

void EscPosDecoder::Feed(std::string_view bytes, CommandSink& sink) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (state_ == State::Data) {
            // Image data is counted, not looked at: a gigabyte of it costs no time.
            const std::uint64_t take =
                std::min<std::uint64_t>(dataLeft_, static_cast<std::uint64_t>(bytes.size() - i));
            command_.Skip(take);
            dataLeft_ -= take;
            offset_ += take;
            i += static_cast<std::size_t>(take) - 1;
            if (dataLeft_ == 0) {
                FinishCommand(sink);
            }
            continue;
        }
        if (state_ == State::Text) {
            // A text runs up to the next control byte: taken whole.
            std::size_t end = i;
            while (end < bytes.size() && IsTextByte(bytes[end])) {
                ++end;
            }
            command_.Add(bytes.substr(i, end - i));
            offset_ += end - i;
            i = end;
            if (i == bytes.size()) {
                break;
            }
        }
        if ((state_ == State::Idle || state_ == State::Text) && IsLead(bytes[i]) &&
            TakeWhole(bytes, i, sink)) {
            continue;
        }
        if ((state_ == State::Idle || state_ == State::Text) && !command_.WantsMeaning() &&
            !IsTextByte(bytes[i]) && !IsLead(bytes[i])) {
            const EscPosRow* control = FindRow(0, bytes[i]);
            if (control != nullptr && TakeSound(*control, bytes.substr(i, 1), sink)) {
                continue;
            }
        }
        Byte(bytes[i], sink);
        ++offset_;
    }
    command_.FlushSound(sink);
}

bool EscPosDecoder::TakeSound(const EscPosRow& row, std::string_view command, CommandSink& sink) {
    // As FinishCommand: ESC @, ESC t and ESC R change the code table (and ESC t notes where),
    // and a first parameter that the command's words do not name is out of range.
    if (row.lead == Esc && (row.code == '@' || row.code == 't' || row.code == 'R')) {
        return false;
    }
    if (command.size() > 2 &&
        !Accepts(row.lead, row.code, static_cast<unsigned char>(command[2]))) {
        return false;
    }
    if (state_ == State::Text) {
        FinishText(sink);
    }
    offset_ += command.size();
    ++counts_.commands;
    command_.CountSound();
    return true;
}

bool EscPosDecoder::TakeWhole(std::string_view bytes, std::size_t& i, CommandSink& sink) {
    if (bytes.size() - i < 2) {
        return false;
    }
    const EscPosRow* row = FindRow(bytes[i], bytes[i + 1]);
    if (row == nullptr || row->shape != Shape::Fixed) {
        return false;
    }
    const auto wanted = static_cast<std::size_t>(row->params);
    if (wanted > params_.size() || bytes.size() - i < 2 + wanted) {
        return false;
    }
    if (!command_.WantsMeaning() && TakeSound(*row, bytes.substr(i, 2 + wanted), sink)) {
        i += 1 + wanted;
        return true;
    }
    if (state_ == State::Text) {
        FinishText(sink);
    }
    const std::size_t length = 2 + wanted;
    command_.Start(offset_);
    command_.AddLast(bytes.substr(i, length));
    lead_ = bytes[i];
    row_ = row;
    paramsWanted_ = wanted;
    paramCount_ = wanted;
    for (std::size_t k = 0; k < wanted; ++k) {
        params_[k] = static_cast<unsigned char>(bytes[i + 2 + k]);
    }
    extended_ = false;
    dataTotal_ = 0;
    offset_ += length;
    FinishCommand(sink, RangeProblem());
    i += length - 1;
    return true;
}

void EscPosDecoder::Byte(char byte, CommandSink& sink) {
    switch (state_) {
    case State::Idle:
        StartCommand(byte, sink);
        return;
    case State::Text:
        if (IsTextByte(byte)) {
            command_.Add(byte);
            return;
        }
        FinishText(sink);
        StartCommand(byte, sink);
        return;
    case State::Lead:
        Lead(byte, sink);
        return;
    case State::Params:
        Param(byte, sink);
        return;
    case State::UntilNul:
        command_.Add(byte);
        if (byte == Nul) {
            FinishCommand(sink);
        } else if (++dataTotal_ > NulListLimit) {
            FinishCommand(sink, "no NUL after " + std::to_string(NulListLimit) + " bytes");
        }
        return;
    case State::Data:
        return;
    }
}

void EscPosDecoder::StartCommand(char byte, CommandSink& sink) {
    command_.Start(offset_);
    command_.Add(byte);
    // A command the file cuts short is described from zeros, not from an earlier command's
    // parameters (which a summary does not keep).
    params_ = {};
    paramCount_ = 0;
    extended_ = false;
    dataTotal_ = 0;
    if (IsTextByte(byte)) {
        state_ = State::Text;
        return;
    }
    if (IsLead(byte)) {
        lead_ = byte;
        state_ = State::Lead;
        return;
    }
    row_ = FindRow(0, byte);
    if (row_ == nullptr) {
        FinishCommand(sink, "unknown control byte");
        return;
    }
    FinishCommand(sink);
}

void EscPosDecoder::Lead(char byte, CommandSink& sink) {
    command_.Add(byte);
    row_ = FindRow(lead_, byte);
    if (row_ == nullptr) {
        FinishCommand(sink, "unknown command");
        return;
    }
    paramsWanted_ = row_->params;
    if (paramsWanted_ == 0 && row_->shape == Shape::Fixed) {
        FinishCommand(sink);
        return;
    }
    state_ = row_->shape == Shape::NulList ? State::UntilNul : State::Params;
}

void EscPosDecoder::Param(char byte, CommandSink& sink) {
    command_.Add(byte);
    if (paramCount_ < params_.size()) {
        params_[paramCount_] = static_cast<unsigned char>(byte);
    }
    ++paramCount_;
    if (state_ == State::Params && paramCount_ >= paramsWanted_) {
        ParamsComplete(sink);
    }
}

void EscPosDecoder::ParamsComplete(CommandSink& sink) {
    switch (row_->shape) {
    case Shape::Cut:
        if (params_[0] >= 65 && paramsWanted_ == 1) {
            paramsWanted_ = 2;
            return;
        }
        break;
    case Shape::RasterImage:
        if (params_[0] != '0' && params_[0] != 0) {
            FinishCommand(sink, "unknown command (GS v takes 0)");
            return;
        }
        dataTotal_ = static_cast<std::uint64_t>(params_[2] + params_[3] * 256) *
                     static_cast<std::uint64_t>(params_[4] + params_[5] * 256);
        break;
    case Shape::BitImage:
        dataTotal_ =
            static_cast<std::uint64_t>(params_[1] + params_[2] * 256) * (params_[0] <= 1 ? 1u : 3u);
        break;
    case Shape::Barcode:
        if (params_[0] <= 6) {
            dataTotal_ = 0;
            state_ = State::UntilNul;
            return;
        }
        if (!extended_) {
            extended_ = true;
            paramsWanted_ = 2;
            return;
        }
        dataTotal_ = params_[1];
        break;
    case Shape::Sized:
        dataTotal_ = static_cast<std::uint64_t>(params_[1] + params_[2] * 256);
        break;
    case Shape::Fixed:
    case Shape::NulList:
        break;
    }
    if (row_->shape == Shape::Fixed || row_->shape == Shape::Cut || dataTotal_ == 0) {
        FinishCommand(sink, RangeProblem());
        return;
    }
    dataLeft_ = dataTotal_;
    state_ = State::Data;
}

std::string EscPosDecoder::RangeProblem() const {
    if (row_ == nullptr || paramCount_ == 0) {
        return {};
    }
    if (!Accepts(row_->lead, row_->code, params_[0])) {
        return "parameter out of range: " + std::to_string(params_[0]);
    }
    return {};
}

std::string EscPosDecoder::Meaning() const {
    const std::size_t count = std::min(paramCount_, params_.size());
    switch (row_->shape) {
    case Shape::RasterImage:
        return "raster image " + std::to_string((params_[2] + params_[3] * 256) * 8) + "x" +
               std::to_string(params_[4] + params_[5] * 256) + " dots, " +
               std::to_string(dataTotal_) + " bytes, mode " + std::to_string(params_[1] & 3);
    case Shape::BitImage:
        return "bit image mode " + std::to_string(params_[0]) + ", " +
               std::to_string(params_[1] + params_[2] * 256) + " columns";
    case Shape::Barcode: {
        const char* system = BarcodeSystem(params_[0]);
        return std::string("bar code ") + (system != nullptr ? system : "of unknown system") +
               ", " + std::to_string(params_[0] <= 6 ? dataTotal_ : params_[1]) + " characters";
    }
    case Shape::Sized:
        return "extended function GS ( " + std::string(1, static_cast<char>(params_[0])) + ", " +
               std::to_string(dataTotal_) + " bytes";
    case Shape::NulList:
        return std::string(row_->meaning) + ": " + std::to_string(dataTotal_) + " stops";
    case Shape::Fixed:
    case Shape::Cut:
        break;
    }
    if (row_->lead == Esc && count > 0 && row_->code == 't') {
        return "character code table: " + table_.Description();
    }
    if (row_->lead == Esc && count > 0 && row_->code == 'R') {
        return "international character set: " + table_.NationalDescription();
    }
    bool listed = false;
    const ValueWords* words =
        count > 0 ? FindWords(row_->lead, row_->code, params_[0], listed) : nullptr;
    return Fill(row_->meaning, params_.data(), count, words != nullptr ? words->words : nullptr);
}

void EscPosDecoder::FinishCommand(CommandSink& sink, std::string problem) {
    state_ = State::Idle;
    if (row_ == nullptr) {
        const std::string name = command_.Length() > 1 ? LeadName(lead_) : "control byte";
        command_.Finish(sink, counts_, "", std::move(problem), name);
        return;
    }
    if (row_->shape == Shape::RasterImage || row_->shape == Shape::BitImage) {
        ++counts_.images;
        counts_.imageBytes += dataTotal_ - dataLeft_;
    }
    if (row_->lead == Esc && paramCount_ >= row_->params) {
        ChangeTable();
    }
    const char* name = row_->name;
    if (!command_.WantsMeaning() && problem.empty()) {
        row_ = nullptr;
        command_.FinishSound(sink, counts_, name);
        return;
    }
    std::string meaning = Meaning();
    row_ = nullptr;
    command_.Finish(sink, counts_, std::move(meaning), std::move(problem), name);
}

void EscPosDecoder::ChangeTable() {
    switch (row_->code) {
    case '@':
        table_ = PrinterCodeTable();
        tableNoted_ = false;
        return;
    case 't':
        table_ = table_.WithEscPosTable(params_[0]);
        counts_.NoteCodePage(command_.Offset(), table_.Name());
        tableNoted_ = true;
        return;
    case 'R':
        table_ = table_.WithEscPosNationalSet(params_[0]);
        return;
    default:
        return;
    }
}

void EscPosDecoder::FinishText(CommandSink& sink) {
    state_ = State::Idle;
    if (!tableNoted_) {
        counts_.NoteCodePage(command_.Offset(), table_.Name());
        tableNoted_ = true;
    }
    if (!command_.WantsMeaning()) {
        command_.FinishSound(sink, counts_, "text");
        return;
    }
    // The characters the run prints, with the table they print under.
    std::string meaning =
        "text: " + table_.Text(command_.Head(), command_.Length() > command_.Head().size()) + " (" +
        table_.Name();
    if (table_.National()) {
        meaning += ", " + table_.NationalDescription();
    }
    command_.Finish(sink, counts_, meaning + ")", {}, "text");
}

void EscPosDecoder::End(CommandSink& sink) {
    switch (state_) {
    case State::Idle:
        return;
    case State::Text:
        FinishText(sink);
        return;
    case State::Lead:
        row_ = nullptr;
        FinishCommand(sink, "truncated: the file ends after " + LeadName(lead_));
        return;
    case State::Params:
    case State::UntilNul:
        FinishCommand(sink, "truncated: the file ends inside the parameters");
        return;
    case State::Data:
        FinishCommand(sink, "truncated: " + std::to_string(dataTotal_ - dataLeft_) + " of " +
                                std::to_string(dataTotal_) + " data bytes");
        return;
    }
}
