#include "core/inspect/zpl_decoder.h"

#include "core/inspect/command_sink.h"

#include <algorithm>
#include <cctype>
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
// A field's text is shown up to this many bytes.
constexpr std::size_t ShownText = 40;

// After Zebra's ZPL II programming guide. ^A is the font command whatever its second
// character (the font's name); it has the row "A".
constexpr ZplRow Commands[] = {
    {"XA", "start of label", "", 0, Any},
    {"XZ", "end of label", "", 0, Any},
    {"FO", "field origin", "x y justification", 0, Dots},
    {"FT", "field typeset", "x y justification", 0, Dots},
    {"FD", "field data", "", 0, Any},
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

// The rows by their code's two bytes, built once: a label file holds millions of commands.
const ZplRow* FindRow(const std::string& code) {
    static const std::vector<const ZplRow*> index = [] {
        std::vector<const ZplRow*> rows(65536, nullptr);
        for (const ZplRow& row : Commands) {
            const std::string_view name = row.code;
            if (name.size() == 2) {
                rows[static_cast<unsigned char>(name[0]) * 256 +
                     static_cast<unsigned char>(name[1])] = &row;
            }
        }
        return rows;
    }();
    if (code.size() != 2) {
        return nullptr;
    }
    if (code[0] == 'A') {
        // ^A is the font command whatever its second character.
        for (const ZplRow& row : Commands) {
            if (std::string_view(row.code) == "A") {
                return &row;
            }
        }
    }
    return index[static_cast<unsigned char>(code[0]) * 256 + static_cast<unsigned char>(code[1])];
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

bool IsNumber(const std::string& text) {
    if (text.empty() || text.size() > 12) {
        return false;
    }
    const std::size_t start = text[0] == '-' ? 1 : 0;
    return start < text.size() &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

void ZplDecoder::Begin(std::uint64_t offset) {
    offset_ = offset;
    state_ = State::Idle;
}

void ZplDecoder::Feed(std::string_view bytes, CommandSink& sink) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (state_ == State::Binary) {
            const std::uint64_t take = std::min<std::uint64_t>(binaryLeft_, bytes.size() - i);
            command_.Skip(take);
            binaryLeft_ -= take;
            offset_ += take;
            i += static_cast<std::size_t>(take) - 1;
            if (binaryLeft_ == 0) {
                state_ = State::Params;
            }
            continue;
        }
        Byte(bytes[i], sink);
        ++offset_;
    }
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
        command_.Add(byte);
        code_.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(byte))));
        if (code_.size() == 2) {
            state_ = State::Params;
            // Looked at for every parameter byte: settled once.
            graphic_ = code_ == "GF";
            takesOneCharacter_ = code_ == "CC" || code_ == "CT";
        }
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
    if (code_ == "FD" || code_ == "FX") {
        const std::string text = params_.substr(0, ShownText);
        return meaning + ": " + text + (paramLength_ > text.size() ? "..." : "");
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
    if (code_ == "FD" || code_ == "FX") {
        return {};
    }
    if (binaryTotal_ > 0 && state_ == State::Binary) {
        return "truncated: " + std::to_string(binaryTotal_ - binaryLeft_) + " of " +
               std::to_string(binaryTotal_) + " image bytes";
    }
    // An image's data follows its sizes: only the sizes are parameters to check.
    const bool image = code_ == "GF" || code_ == "DG";
    std::size_t checked = image ? 4 : ParameterLimit;
    if (!image && paramLength_ > ParameterLimit) {
        return "parameter too long: " + std::to_string(paramLength_) + " bytes";
    }
    // Each numeric parameter against the row's range, read in place.
    std::string_view rest(params_);
    while (checked-- > 0) {
        const std::size_t comma = rest.find(',');
        const std::string value = Trimmed(rest.substr(0, comma));
        if (IsNumber(value)) {
            const long long number = std::stoll(value);
            if (number < row->min || number > row->max) {
                return "parameter out of range: " + value;
            }
        } else if (value.size() > 12 && std::all_of(value.begin(), value.end(),
                                                    [](char c) { return c >= '0' && c <= '9'; })) {
            return "parameter out of range: " + value.substr(0, 12) + "...";
        }
        if (comma == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(comma + 1);
    }
    return {};
}

std::string ZplDecoder::Structure(const std::string& code) {
    if (prefix_ != caret_) {
        return {};
    }
    if (code == "XA") {
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
    if (code == "XZ") {
        if (!inLabel_) {
            return "^XZ without ^XA";
        }
        inLabel_ = false;
        counts_.labels += quantity_;
        return {};
    }
    if (code == "PQ") {
        const std::string first = Trimmed(Split(Trimmed(params_), ',')[0]);
        if (IsNumber(first) && std::stoll(first) > 0) {
            quantity_ = static_cast<std::uint64_t>(std::stoll(first));
        }
    }
    return {};
}

void ZplDecoder::FinishCommand(CommandSink& sink) {
    const std::string prefixed = std::string(1, prefix_) + code_;
    if (code_.size() < 2) {
        state_ = State::Idle;
        command_.Finish(sink, counts_, "", "truncated: the command has no code", prefixed);
        return;
    }
    const ZplRow* row = FindRow(code_);
    if (row == nullptr) {
        state_ = State::Idle;
        command_.Finish(sink, counts_, "", "unknown command", prefixed);
        return;
    }
    std::string problem = Problem(row);
    const std::string structural = Structure(code_);
    if (problem.empty()) {
        problem = structural;
    }
    std::string meaning = command_.WantsMeaning() || !problem.empty() ? Meaning(row) : "";
    if (code_ == "GF" || code_ == "DG") {
        ++counts_.images;
    }
    if (code_ == "CC" || code_ == "CT") {
        const std::string value = Trimmed(params_);
        if (!value.empty()) {
            (code_ == "CC" ? caret_ : tilde_) = value[0];
        }
    }
    state_ = State::Idle;
    command_.Finish(sink, counts_, std::move(meaning), std::move(problem),
                    code_[0] == 'A' ? std::string(1, prefix_) + "A" : prefixed);
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
