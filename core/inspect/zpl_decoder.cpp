#include "core/inspect/zpl_decoder.h"

#include "core/inspect/command_sink.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

// One command: its code after the prefix, its meaning, its parameters' names in order
// (space-separated; "-" for one not named in the meaning), and the range every numeric
// parameter must be in.
struct ZplRow {
    const char* code;
    const char* meaning;
    const char* params;
    long long min;
    long long max;
};

namespace {

constexpr long long Any = 999999999;
// Where a coordinate or a size in dots may lie.
constexpr long long Dots = 32000;
// A parameter's value is shown up to this many bytes.
constexpr std::size_t ShownText = 40;

// After Zebra's ZPL II programming guide. ^A is the font command whatever its second
// character (the font's name); it has the row "A".
constexpr ZplRow Commands[] = {
    {"XA", "start of label", "", 0, Any},
    {"XZ", "end of label", "", 0, Any},
    {"FO", "field origin", "x y justification", 0, Dots},
    {"FT", "field typeset", "x y justification", 0, Dots},
    {"FD", "field data", "", 0, Any},
    {"FV", "field variable", "", 0, Any},
    {"FS", "field separator", "", 0, Any},
    {"FX", "comment", "", 0, Any},
    {"FH", "field hexadecimal indicator", "indicator", 0, Any},
    {"FB", "field block", "width lines spacing justification indent", 0, 9999},
    {"FR", "field reverse print", "", 0, Any},
    {"FN", "field number", "number", 0, 9999},
    {"FW", "field orientation", "rotation justification", 0, 2},
    {"A", "font", "orientation height width", 0, Dots},
    {"CF", "default font", "font height width", 0, Dots},
    {"CI", "character set", "set", 0, 36},
    {"CC", "change caret", "character", 0, Any},
    {"CT", "change tilde", "character", 0, Any},
    {"BY", "bar code defaults", "width ratio height", 0, Dots},
    {"BC", "Code 128 bar code", "orientation height line above check mode", 0, Dots},
    {"B3", "Code 39 bar code", "orientation check height line above", 0, Dots},
    {"BE", "EAN-13 bar code", "orientation height line above", 0, Dots},
    {"BU", "UPC-A bar code", "orientation height line above check", 0, Dots},
    {"BQ", "QR code", "orientation model magnification", 0, 100},
    {"BX", "Data Matrix", "orientation height quality", 0, Dots},
    {"B7", "PDF417 bar code", "orientation height security columns rows truncate", 0, Dots},
    {"GB", "graphic box", "width height thickness color rounding", 0, Dots},
    {"GC", "graphic circle", "diameter thickness color", 0, 4095},
    {"GD", "graphic diagonal line", "width height thickness color orientation", 0, Dots},
    {"GE", "graphic ellipse", "width height thickness color", 0, 4095},
    {"GF", "graphic field", "format data-bytes total-bytes row-bytes", 0, Any},
    {"XG", "recall graphic", "name x-scale y-scale", 0, 10},
    {"IM", "image move", "name", 0, Any},
    {"LH", "label home", "x y", 0, Dots},
    {"LL", "label length", "dots", 1, Dots},
    {"LR", "label reverse print", "on", 0, Any},
    {"LS", "label shift", "dots", -9999, 9999},
    {"LT", "label top", "dots", -120, 120},
    {"PW", "print width", "dots", 2, Dots},
    {"PO", "print orientation", "orientation", 0, Any},
    {"PQ", "print quantity", "labels pause replicates override", 0, 99999999},
    {"PR", "print rate", "print slew backfeed", 1, 14},
    {"MD", "media darkness", "darkness", -30, 30},
    {"MN", "media tracking", "tracking offset", -75, 283},
    {"MM", "print mode", "mode prepeel", 0, Any},
    {"MT", "media type", "type", 0, Any},
    {"MU", "units of measure", "units format-dpi conversion-dpi", 0, 600},
    {"JU", "configuration update", "action", 0, Any},
    {"SN", "serialization data", "start increment zeros", -Any, Any},
    {"DF", "download format", "name", 0, Any},
    {"XF", "recall format", "name", 0, Any},
    {"JA", "cancel all", "", 0, Any},
    {"HS", "host status return", "", 0, Any},
    {"HI", "host identification", "", 0, Any},
    {"HM", "host memory status", "", 0, Any},
    {"HQ", "host query", "query", 0, Any},
    {"WC", "print configuration label", "", 0, Any},
    {"JR", "power on reset", "", 0, Any},
    {"PS", "print start", "", 0, Any},
    {"PP", "programmable pause", "", 0, Any},
    {"TA", "tear-off adjust", "dots", -120, 120},
    {"SD", "set darkness", "darkness", 0, 30},
    {"DG", "download graphic", "name total-bytes row-bytes", 0, Any},
    {"JS", "sensor select", "sensor", 0, Any},
    {"EG", "erase graphics", "", 0, Any},
};

// What a command changes beside its own parameters: whether a summary may take it whole
// in one step (ZplDecoder::TakeSound), and what that step has to follow.
enum class Role : std::uint8_t {
    Checked,  // numeric parameters against the row's range, and nothing else
    Comment,  // ^FX: text, not checked
    Field,    // ^FD, ^FV: text, under the set the summary notes once
    Opens,    // ^XA: a label
    Closes,   // ^XZ: the label, and ^FH's field
    Quantity, // ^PQ: the label's copies
    FieldEnd, // ^FS: ^FH's field
    Apart,    // state of their own, read the long way: ^GF, ~DG, ^CC, ^CT, ^CI, ^FH
};

constexpr std::pair<std::string_view, Role> Roles[] = {
    {"FX", Role::Comment}, {"FD", Role::Field},    {"FV", Role::Field},    {"XA", Role::Opens},
    {"XZ", Role::Closes},  {"PQ", Role::Quantity}, {"FS", Role::FieldEnd}, {"GF", Role::Apart},
    {"DG", Role::Apart},   {"CC", Role::Apart},    {"CT", Role::Apart},    {"CI", Role::Apart},
    {"FH", Role::Apart},
};

// The rows by their code's two bytes as they are written (either case), built once: a label
// file holds millions of commands. Row numbers (1 and up, 0 for none) in 64 KiB, and each
// row's role.
struct RowIndex {
    std::array<std::uint8_t, 256 * 256> rows{};
    std::array<Role, std::size(Commands)> roles{};

    static constexpr std::size_t Slot(char first, char second) {
        return static_cast<std::size_t>(static_cast<unsigned char>(first)) * 256 +
               static_cast<unsigned char>(second);
    }
    std::uint8_t At(char first, char second) const { return rows[Slot(first, second)]; }
};

// A code byte's lower case; any other byte as it is.
constexpr char Lower(char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

constexpr RowIndex BuildIndex() {
    static_assert(std::size(Commands) < 255);
    RowIndex built;
    for (std::size_t i = 0; i < std::size(Commands); ++i) {
        const std::string_view name = Commands[i].code;
        const auto row = static_cast<std::uint8_t>(i + 1);
        for (const char first : {name[0], Lower(name[0])}) {
            if (name.size() == 1) {
                // ^A is the font command whatever its second byte (the font's name).
                for (int second = 0; second < 256; ++second) {
                    built.rows[RowIndex::Slot(first, static_cast<char>(second))] = row;
                }
                continue;
            }
            for (const char second : {name[1], Lower(name[1])}) {
                built.rows[RowIndex::Slot(first, second)] = row;
            }
        }
        for (const auto& [code, role] : Roles) {
            if (code == name) {
                built.roles[i] = role;
            }
        }
    }
    return built;
}

// Made by the compiler: nothing is built when the program loads, and no guard is asked for
// every command of a dense label.
constexpr RowIndex Index = BuildIndex();

const ZplRow* FindRow(const std::string& code) {
    if (code.size() != 2) {
        return nullptr;
    }
    const std::uint8_t row = Index.At(code[0], code[1]);
    return row == 0 ? nullptr : &Commands[row - 1];
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

std::string Trimmed(std::string_view text) {
    const auto isSpace = [](char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t'; };
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    return std::string(text);
}

// Inline, as ReadNumber: every parameter of every command asks.
inline std::string_view TrimmedView(std::string_view text) {
    const auto isSpace = [](char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t'; };
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// A code's letters as the printer reads them.
char AsciiUpper(char byte) {
    return byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 'a' + 'A') : byte;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number as IsNumber takes it ("-12", at most 12 bytes), read without a copy.
inline bool ReadNumber(std::string_view text, long long& number) {
    if (text.empty() || text.size() > 12) {
        return false;
    }
    const std::size_t start = text[0] == '-' ? 1 : 0;
    if (start == text.size()) {
        return false;
    }
    number = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (!IsDigit(text[i])) {
            return false;
        }
        number = number * 10 + (text[i] - '0');
    }
    if (start == 1) {
        number = -number;
    }
    return true;
}

bool IsNumber(const std::string& text) {
    if (text.empty() || text.size() > 12) {
        return false;
    }
    const std::size_t start = text[0] == '-' ? 1 : 0;
    return start < text.size() &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// ^CI's set: its first parameter, when that is a number of at most nine digits.
std::optional<unsigned> SetNumber(const std::string& params) {
    const std::string set = Trimmed(Split(params, ',')[0]);
    if (!IsNumber(set) || set[0] == '-' || set.size() > 9) {
        return std::nullopt;
    }
    return static_cast<unsigned>(std::stoul(set));
}

// The first of the first `fields` numeric parameters that lies outside the row's range, read
// in place (more than 12 digits when too long to read); empty when none does.
inline std::string_view OutOfRange(std::string_view rest, const ZplRow& row, std::size_t fields) {
    while (fields-- > 0) {
        // Found by a loop, not a call: the fields are a few bytes long.
        std::size_t comma = 0;
        while (comma < rest.size() && rest[comma] != ',') {
            ++comma;
        }
        const std::string_view value = TrimmedView(rest.substr(0, comma));
        long long number = 0;
        if (ReadNumber(value, number)) {
            if (number < row.min || number > row.max) {
                return value;
            }
        } else if (value.size() > 12 && std::all_of(value.begin(), value.end(), IsDigit)) {
            return value;
        }
        if (comma == rest.size()) {
            break;
        }
        rest.remove_prefix(comma + 1);
    }
    return {};
}

// ^PQ's labels: its first parameter, when that is a number above 0.
std::optional<std::uint64_t> Quantity(std::string_view params) {
    const std::string_view trimmed = TrimmedView(params);
    long long first = 0;
    if (ReadNumber(TrimmedView(trimmed.substr(0, trimmed.find(','))), first) && first > 0) {
        return static_cast<std::uint64_t>(first);
    }
    return std::nullopt;
}

} // namespace

void ZplDecoder::Begin(std::uint64_t offset) {
    offset_ = offset;
    state_ = State::Idle;
}

void ZplDecoder::Feed(std::string_view bytes, CommandSink& sink) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (state_ == State::Binary) {
            const std::size_t take = command_.SkipData(binaryLeft_, bytes.size() - i);
            offset_ += take;
            i += take - 1;
            if (binaryLeft_ == 0) {
                state_ = State::Params;
            }
            continue;
        }
        if (TakesRuns()) {
            std::size_t end = i;
            while (end < bytes.size() && !IsPrefix(bytes[end])) {
                ++end;
            }
            Run(bytes.substr(i, end - i));
            offset_ += end - i;
            i = end;
            if (i == bytes.size()) {
                break;
            }
        }
        if (state_ == State::Code) {
            // Any byte is a code byte, a prefix too.
            CodeByte(bytes[i]);
            ++offset_;
            continue;
        }
        if (IsPrefix(bytes[i]) && TakeWhole(bytes, i, sink)) {
            continue;
        }
        Byte(bytes[i], sink);
        ++offset_;
    }
    command_.FlushSound(sink);
}

void ZplDecoder::Byte(char byte, CommandSink& sink) {
    if (IsPrefix(byte) && state_ != State::Code) {
        if (state_ == State::Params) {
            FinishCommand(sink);
        } else if (state_ == State::Stray) {
            FinishStray(sink);
        }
        StartCommand(byte);
        return;
    }
    switch (state_) {
    case State::Idle:
        if (byte == '\r' || byte == '\n' || byte == ' ' || byte == '\t') {
            return;
        }
        command_.Start(offset_);
        command_.Add(byte);
        state_ = State::Stray;
        return;
    case State::Stray:
        command_.Add(byte);
        return;
    case State::Code:
        CodeByte(byte);
        return;
    case State::Params:
        Param(byte);
        // ^CC and ^CT take one character, and the next command may already use it.
        if (takesOneCharacter_ && !Trimmed(params_).empty()) {
            FinishCommand(sink);
        }
        return;
    case State::Binary:
        return;
    }
}

bool ZplDecoder::TakeWhole(std::string_view bytes, std::size_t& i, CommandSink& sink) {
    if (bytes.size() - i < 3) {
        return false;
    }
    const char first = AsciiUpper(bytes[i + 1]);
    const char second = AsciiUpper(bytes[i + 2]);
    if ((first == 'G' && second == 'F') || (first == 'C' && (second == 'C' || second == 'T'))) {
        return false;
    }
    std::size_t end = i + 3;
    while (end < bytes.size() && !IsPrefix(bytes[end])) {
        ++end;
    }
    if (end == bytes.size()) {
        return false;
    }
    if (state_ == State::Idle && !command_.WantsMeaning() && TakeSound(bytes.substr(i, end - i))) {
        i = end - 1;
        return true;
    }
    if (state_ == State::Params) {
        FinishCommand(sink);
    } else if (state_ == State::Stray) {
        FinishStray(sink);
    }
    StartCommand(bytes[i]);
    command_.AddLast(bytes.substr(i + 1, end - i - 1));
    code_.push_back(first);
    code_.push_back(second);
    params_.append(bytes.data() + i + 3, std::min(end - i - 3, ParameterLimit));
    paramLength_ = end - i - 3;
    graphic_ = false;
    takesOneCharacter_ = false;
    state_ = State::Params;
    // Where the next command begins, as when its prefix ends this one byte by byte.
    offset_ += end - i;
    FinishCommand(sink);
    i = end - 1;
    return true;
}

bool ZplDecoder::TakeSound(std::string_view command) {
    const std::uint8_t row = Index.At(command[1], command[2]);
    if (row == 0) {
        return false;
    }
    const Role role = Index.roles[row - 1];
    const std::string_view params = command.substr(3);
    if (role == Role::Apart || (role == Role::Field && !charsetNoted_)) {
        return false;
    }
    // As Problem: text is not checked, and a longer parameter is too long.
    if (role != Role::Comment && role != Role::Field && !params.empty() &&
        (params.size() > ParameterLimit ||
         !OutOfRange(params, Commands[row - 1], ParameterLimit).empty())) {
        return false;
    }
    // As Structure: a label follows carets only, and a second ^XA or a lone ^XZ is a problem.
    const bool caret = command[0] == caret_;
    if (caret && ((role == Role::Opens && inLabel_) || (role == Role::Closes && !inLabel_))) {
        return false;
    }
    if (caret && role == Role::Opens) {
        inLabel_ = true;
        labelOffset_ = offset_;
        quantity_ = 1;
    } else if (caret && role == Role::Closes) {
        inLabel_ = false;
        counts_.labels += quantity_;
    } else if (caret && role == Role::Quantity) {
        quantity_ = Quantity(params).value_or(quantity_);
    }
    // As ChangeEncoding.
    if (role == Role::Closes || role == Role::FieldEnd) {
        hexIndicator_ = 0;
    }
    offset_ += command.size();
    ++counts_.commands;
    command_.CountSound();
    return true;
}

void ZplDecoder::CodeByte(char byte) {
    command_.Add(byte);
    code_.push_back(AsciiUpper(byte));
    if (code_.size() == 2) {
        state_ = State::Params;
        // Looked at for every parameter byte: settled once.
        graphic_ = Is("GF");
        takesOneCharacter_ = Is("CC") || Is("CT");
    }
}

void ZplDecoder::StartCommand(char byte) {
    command_.Start(offset_);
    command_.Add(byte);
    prefix_ = byte;
    code_.clear();
    params_.clear();
    paramLength_ = 0;
    commas_ = 0;
    binaryTotal_ = 0;
    state_ = State::Code;
}

void ZplDecoder::Run(std::string_view run) {
    command_.Add(run);
    if (state_ == State::Params) {
        params_.append(run.substr(0, ParameterLimit - params_.size()));
        paramLength_ += run.size();
    }
}

void ZplDecoder::Param(char byte) {
    command_.Add(byte);
    if (params_.size() < ParameterLimit) {
        params_.push_back(byte);
    }
    ++paramLength_;
    // ^GFB,b,...: after the fourth comma come b bytes of binary data, which may hold a
    // caret or a tilde of their own.
    if (byte == ',' && graphic_ && ++commas_ == 4) {
        const std::vector<std::string> parts = Split(params_, ',');
        const std::string size = parts.size() >= 2 ? Trimmed(parts[1]) : "";
        if (Trimmed(parts[0]) == "B" && IsNumber(size) && size[0] != '-') {
            binaryTotal_ = std::stoull(size);
            binaryLeft_ = binaryTotal_;
            if (binaryLeft_ > 0) {
                state_ = State::Binary;
            }
        }
    }
}

std::string ZplDecoder::Meaning(const ZplRow* row) const {
    std::string meaning = row->meaning;
    if (Is("FD") || Is("FV") || Is("FX")) {
        return FieldText(meaning);
    }
    if (const std::optional<unsigned> set = Is("CI") ? SetNumber(params_) : std::nullopt) {
        return meaning + ": " + PrinterCodeTable::Zpl(*set).Description();
    }
    if (code_[0] == 'A') {
        meaning.append(1, ' ').append(1, code_[1]);
    }
    const std::vector<std::string> names = Split(row->params, ' ');
    const std::vector<std::string> values = Split(Trimmed(params_), ',');
    for (std::size_t i = 0; i < values.size() && i < names.size(); ++i) {
        const std::string value = Trimmed(values[i]);
        if (!value.empty() && !names[i].empty()) {
            // Appended piece by piece: GCC 12's -Wrestrict sees a false overlap in " " + name.
            meaning.append(1, ' ').append(names[i]).append(1, '=').append(
                value.substr(0, ShownText));
        }
    }
    return meaning;
}

std::string ZplDecoder::Problem(const ZplRow* row) const {
    // Text is no parameter to check, and a third of a label's commands have none.
    if (Is("FD") || Is("FV") || Is("FX") || paramLength_ == 0) {
        return {};
    }
    if (binaryTotal_ > 0 && state_ == State::Binary) {
        return "truncated: " + std::to_string(binaryTotal_ - binaryLeft_) + " of " +
               std::to_string(binaryTotal_) + " image bytes";
    }
    // An image's data follows its sizes: only the sizes are parameters to check.
    const bool image = Is("GF") || Is("DG");
    const std::size_t checked = image ? 4 : ParameterLimit;
    if (!image && paramLength_ > ParameterLimit) {
        return "parameter too long: " + std::to_string(paramLength_) + " bytes";
    }
    const std::string_view value = OutOfRange(params_, *row, checked);
    if (value.empty()) {
        return {};
    }
    return "parameter out of range: " +
           (value.size() > 12 ? std::string(value.substr(0, 12)) + "..." : std::string(value));
}

std::string ZplDecoder::Structure() {
    if (prefix_ != caret_) {
        return {};
    }
    if (Is("XA")) {
        std::string problem;
        if (inLabel_) {
            problem = "^XA inside the label begun at offset " + std::to_string(labelOffset_) +
                      " (no ^XZ before it)";
        }
        inLabel_ = true;
        labelOffset_ = command_.Open() ? offset_ - command_.Length() : offset_;
        quantity_ = 1;
        return problem;
    }
    if (Is("XZ")) {
        if (!inLabel_) {
            return "^XZ without ^XA";
        }
        inLabel_ = false;
        counts_.labels += quantity_;
        return {};
    }
    if (Is("PQ")) {
        quantity_ = Quantity(params_).value_or(quantity_);
    }
    return {};
}

void ZplDecoder::FinishCommand(CommandSink& sink) {
    if (code_.size() < 2) {
        state_ = State::Idle;
        command_.Finish(sink, counts_, "", "truncated: the command has no code",
                        std::string(1, prefix_) + code_);
        return;
    }
    const ZplRow* row = FindRow(code_);
    if (row == nullptr) {
        state_ = State::Idle;
        command_.Finish(sink, counts_, "", "unknown command", std::string(1, prefix_) + code_);
        return;
    }
    std::string problem = Problem(row);
    const std::string structural = Structure();
    if (problem.empty()) {
        problem = structural;
    }
    if (Is("GF") || Is("DG")) {
        ++counts_.images;
        // The image's size: ^GF's third parameter, ~DG's second (total-bytes).
        std::string_view total = params_;
        for (int skip = Is("GF") ? 2 : 1; skip > 0; --skip) {
            const std::size_t comma = total.find(',');
            total = comma == std::string_view::npos ? std::string_view() : total.substr(comma + 1);
        }
        long long bytes = 0;
        if (ReadNumber(TrimmedView(total.substr(0, total.find(','))), bytes) && bytes > 0) {
            counts_.imageBytes += static_cast<std::uint64_t>(bytes);
        }
    }
    if (problem.empty()) {
        ChangeEncoding();
    }
    if (Is("CC") || Is("CT")) {
        const std::string value = Trimmed(params_);
        if (!value.empty()) {
            (Is("CC") ? caret_ : tilde_) = value[0];
        }
    }
    state_ = State::Idle;
    const char name[] = {prefix_, code_[0], code_[1]};
    // ^A with its font's name is "^A".
    const std::string_view named(name, code_[0] == 'A' ? 2 : 3);
    if (problem.empty() && !command_.WantsMeaning()) {
        command_.FinishSound(sink, counts_, named);
        return;
    }
    command_.Finish(sink, counts_, Meaning(row), std::move(problem), std::string(named));
}

void ZplDecoder::ChangeEncoding() {
    if (Is("CI")) {
        if (const std::optional<unsigned> set = SetNumber(params_)) {
            charset_ = PrinterCodeTable::Zpl(*set);
            counts_.NoteCodePage(command_.Offset(), charset_.Name());
            charsetNoted_ = true;
        }
    } else if (Is("FH")) {
        const std::string indicator = Trimmed(params_);
        hexIndicator_ = indicator.empty() ? '_' : indicator[0];
    } else if (Is("FS") || Is("XZ")) {
        hexIndicator_ = 0;
    } else if ((Is("FD") || Is("FV")) && !charsetNoted_) {
        counts_.NoteCodePage(command_.Offset(), charset_.Name());
        charsetNoted_ = true;
    }
}

std::string ZplDecoder::FieldText(const std::string& meaning) const {
    std::string bytes;
    if ((Is("FD") || Is("FV")) && hexIndicator_ != 0) {
        // ^FH: the indicator and two hex digits stand for the byte they spell.
        for (std::size_t i = 0; i < params_.size(); ++i) {
            if (params_[i] == hexIndicator_ && i + 2 < params_.size() &&
                std::isxdigit(static_cast<unsigned char>(params_[i + 1])) != 0 &&
                std::isxdigit(static_cast<unsigned char>(params_[i + 2])) != 0) {
                bytes.push_back(
                    static_cast<char>(std::stoi(params_.substr(i + 1, 2), nullptr, 16)));
                i += 2;
            } else {
                bytes.push_back(params_[i]);
            }
        }
    } else {
        bytes = params_;
    }
    bool invalid = false;
    const std::string text = charset_.Text(bytes, paramLength_ > params_.size(), &invalid);
    return meaning + ": " + text + " (" + charset_.Name() + (invalid ? ", not valid UTF-8" : "") +
           ")";
}

void ZplDecoder::FinishStray(CommandSink& sink) {
    state_ = State::Idle;
    command_.Finish(sink, counts_, "", "text outside any command", "text");
}

void ZplDecoder::End(CommandSink& sink) {
    if (state_ == State::Params || state_ == State::Code || state_ == State::Binary) {
        FinishCommand(sink);
    } else if (state_ == State::Stray) {
        FinishStray(sink);
    }
    if (inLabel_) {
        inLabel_ = false;
        command_.Start(offset_);
        command_.Finish(sink, counts_, "end of file",
                        "the label begun at offset " + std::to_string(labelOffset_) + " has no ^XZ",
                        "end");
    }
}
