#include "core/inspect/tspl_decoder.h"

#include "core/inspect/line_fields.h"

#include <algorithm>

namespace {

struct TsplRow {
    const char* command;
    const char* meaning;
    // The parameters' names in order, space-separated ("mode=overwrite/or/xor" names values).
    const char* params;
    // Where every parameter that is a plain whole number must lie.
    long long min;
    long long max;
};

constexpr long long Any = 999999999;
// Where a coordinate or a size in dots may lie.
constexpr long long Dots = 32000;
// The largest width in bytes or height in dots a BITMAP is taken to have.
constexpr long long BitmapSide = 65535;

// After TSC's TSPL/TSPL2 programming manual.
constexpr TsplRow Commands[] = {
    {"SIZE", "label size", "width height", 0, Any},
    {"GAP", "gap between labels", "distance offset", 0, Any},
    {"BLINE", "black mark", "height offset", 0, Any},
    {"OFFSET", "stop offset after printing", "distance", -Any, Any},
    {"SPEED", "print speed", "inches-per-second", 1, 18},
    {"DENSITY", "print darkness", "darkness", 0, 15},
    {"DIRECTION", "print direction", "direction mirror=normal/mirrored", 0, 1},
    {"REFERENCE", "reference point", "x y", 0, Dots},
    {"SHIFT", "shift the print", "x y", -Dots, Dots},
    {"CODEPAGE", "code page", "page", 0, Any},
    {"COUNTRY", "country", "code", 0, Any},
    {"CLS", "clear image buffer", "", 0, Any},
    {"FEED", "feed paper", "dots", 1, 9999},
    {"BACKFEED", "feed paper back", "dots", 1, 9999},
    {"BACKUP", "feed paper back", "dots", 1, 9999},
    {"FORMFEED", "feed one label", "", 0, Any},
    {"HOME", "find the start of a label", "", 0, Any},
    {"PRINT", "print", "sets copies", 1, Any},
    {"SOUND", "beep", "level interval", 0, 4095},
    {"CUT", "cut now", "", 0, Any},
    {"LIMITFEED", "sensor search limit", "length", 0, Any},
    {"SELFTEST", "print self-test", "page", 0, Any},
    {"INITIALPRINTER", "restore factory settings", "", 0, Any},
    {"GAPDETECT", "calibrate gap sensor", "paper gap", 0, Any},
    {"BLINEDETECT", "calibrate black mark sensor", "paper gap", 0, Any},
    {"AUTODETECT", "calibrate sensor", "paper gap", 0, Any},
    {"DELAY", "wait", "milliseconds", 0, Any},
    {"BAR", "draw bar", "x y width height", 0, Dots},
    {"BOX", "draw box", "x y end-x end-y thickness radius", 0, Dots},
    {"CIRCLE", "draw circle", "x y diameter thickness", 0, Dots},
    {"ELLIPSE", "draw ellipse", "x y width height thickness", 0, Dots},
    {"DIAGONAL", "draw diagonal line", "x y end-x end-y thickness", 0, Dots},
    {"ERASE", "clear area", "x y width height", 0, Dots},
    {"REVERSE", "reverse area", "x y width height", 0, Dots},
    {"TEXT", "text", "x y font rotation x-scale y-scale alignment content", 0, Dots},
    {"BLOCK", "text block",
     "x y width height font rotation x-scale y-scale space alignment fit content", 0, Dots},
    {"BARCODE", "bar code", "x y type height readable rotation narrow wide alignment content", 0,
     Dots},
    {"QRCODE", "QR code", "x y level cell-width mode rotation model mask content", 0, Dots},
    {"DMATRIX", "Data Matrix", "x y width height content", 0, Dots},
    {"PDF417", "PDF417 bar code", "x y width height rotation content", 0, Dots},
    {"MAXICODE", "MaxiCode", "x y mode content", 0, Dots},
    {"AZTEC", "Aztec code", "x y rotation content", 0, Dots},
    {"BITMAP", "bitmap", "x y width-bytes height mode=overwrite/or/xor", 0, Dots},
    {"PUTBMP", "print stored BMP", "x y file bits contrast", 0, Dots},
    {"PUTPCX", "print stored PCX", "x y file", 0, Dots},
    {"DOWNLOAD", "download file", "memory file size", 0, Any},
    {"EOP", "end of program", "", 0, Any},
    {"KILL", "delete file", "file", 0, Any},
    {"MOVE", "move files to flash", "", 0, Any},
    {"RUN", "run program", "file", 0, Any},
    {"FILES", "list files", "", 0, Any},
    {"REM", "comment", "", 0, Any},
};

// SET's settings, each "SET word value".
constexpr TsplRow Settings[] = {
    {"CUTTER", "cutter", "labels", 0, Any},
    {"PARTIAL_CUTTER", "partial cutter", "labels", 0, Any},
    {"BACK", "back feed after a cut", "on", 0, Any},
    {"TEAR", "tear-off", "on", 0, Any},
    {"STRIPER", "tear-off", "on", 0, Any},
    {"PEEL", "peel-off", "on", 0, Any},
    {"GAP", "gap sensing", "mode", 0, Any},
    {"HEAD", "head-open sensor", "on", 0, Any},
    {"RIBBON", "ribbon", "on", 0, Any},
    {"COUNTER", "counter", "name step", -Any, Any},
    {"PRINTKEY", "print key", "mode", 0, Any},
    {"REPRINT", "reprint after an error", "on", 0, Any},
    {"COM1", "serial port", "baud parity bits stop", 0, Any},
};

struct ImmediateRow {
    char code;
    const char* meaning;
};

// ESC ! c: acted on at once, between or inside other commands.
constexpr ImmediateRow Immediates[] = {
    {'?', "status query"},          {'S', "extended status query"},
    {'R', "reset printer"},         {'P', "pause"},
    {'O', "cancel pause"},          {'D', "enter dump mode"},
    {'C', "real-time clock query"},
};

const TsplRow* FindRow(const std::string& word, const TsplRow* begin, const TsplRow* end) {
    const TsplRow* row = std::find_if(
        begin, end, [&word](const TsplRow& candidate) { return word == candidate.command; });
    return row == end ? nullptr : row;
}

// Whether a line kept to LineLimit bytes lost a parameter: it did unless the cut fell inside a
// quoted text (a QRCODE's or BLOCK's data may rightly run to thousands of bytes).
bool CutOutsideQuotes(const std::string& line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        quoted = line[i] == '"' && !LineFields::EscapedQuote(line, i) ? !quoted : quoted;
    }
    return !quoted;
}

// The text up to the first blank, and what follows it.
std::string FirstWord(const std::string& text, std::string& rest) {
    const std::size_t blank = std::min(text.find_first_of(" \t"), text.size());
    rest = text.substr(std::min(blank + 1, text.size()));
    return LineFields::Upper(text.substr(0, blank));
}

} // namespace

void TsplDecoder::Begin(std::uint64_t offset) {
    offset_ = offset;
}

void TsplDecoder::Feed(std::string_view bytes, CommandSink& sink) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (dataLeft_ > 0) {
            const std::size_t take = command_.SkipData(dataLeft_, bytes.size() - i);
            offset_ += take;
            i += take - 1;
            continue;
        }
        Byte(bytes[i], sink);
        ++offset_;
    }
}

void TsplDecoder::Byte(char byte, CommandSink& sink) {
    if (immediateLeft_ > 0) {
        command_.Add(byte);
        line_.push_back(byte);
        if (--immediateLeft_ == 0 || byte != '!') {
            immediateLeft_ = 0;
            FinishImmediate(sink, false);
        }
        return;
    }
    if (!command_.Open()) {
        if (byte == '\r' || byte == '\n' || byte == ' ' || byte == '\t') {
            return;
        }
        command_.Start(offset_);
        line_.clear();
        quoted_ = false;
        commas_ = 0;
        dataTotal_ = 0;
        if (byte == '\x1b') {
            immediateLeft_ = 2;
            command_.Add(byte);
            line_.push_back(byte);
            return;
        }
    }
    command_.Add(byte);
    if (byte == '\n') {
        FinishLine(sink);
        return;
    }
    const bool kept = line_.size() < LineLimit;
    if (kept) {
        line_.push_back(byte);
    }
    if (byte == '"' && !(kept && LineFields::EscapedQuote(line_, line_.size() - 1))) {
        quoted_ = !quoted_;
    } else if (byte == ',' && !quoted_ && dataTotal_ == 0) {
        Comma();
    }
}

// BITMAP x,y,width,height,mode, and DOWNLOAD [memory,]"file",size, are followed by their
// binary data, which may hold line ends of its own.
void TsplDecoder::Comma() {
    ++commas_;
    std::string rest;
    const std::string word = FirstWord(line_, rest);
    std::vector<std::string> values = LineFields::Split(rest, ',');
    // The comma just read ends the last field.
    if (!values.empty() && values.back().empty()) {
        values.pop_back();
    }
    long long width = 0;
    long long height = 0;
    if (word == "BITMAP" && commas_ == 5 && values.size() >= 4 &&
        LineFields::ToNumber(values[2], width) && LineFields::ToNumber(values[3], height) &&
        width > 0 && height > 0 && width <= BitmapSide && height <= BitmapSide) {
        dataTotal_ = static_cast<std::uint64_t>(width * height);
        ++counts_.images;
        counts_.imageBytes += dataTotal_;
    } else if (word == "DOWNLOAD" && values.size() >= 2 &&
               values[values.size() - 2].rfind('"', 0) == 0 &&
               LineFields::ToNumber(values.back(), width) && width > 0) {
        dataTotal_ = static_cast<std::uint64_t>(width);
    }
    dataLeft_ = dataTotal_;
}

// PRINT m[,n]: m sets of n copies. A count in a variable (a program's) is not counted.
void TsplDecoder::Print(const std::vector<std::string>& values) {
    long long sets = 1;
    long long copies = 1;
    if ((values.empty() || LineFields::ToNumber(values[0], sets)) &&
        (values.size() < 2 || LineFields::ToNumber(values[1], copies)) && sets > 0 && copies > 0) {
        counts_.labels += static_cast<std::uint64_t>(sets) * static_cast<std::uint64_t>(copies);
    }
}

void TsplDecoder::FinishLine(CommandSink& sink, std::string problem) {
    // A line longer than LineLimit bytes, its line end aside, was cut.
    if (problem.empty() && dataTotal_ == 0 && command_.Length() > LineLimit + 2 &&
        CutOutsideQuotes(line_)) {
        problem = "line too long: " + std::to_string(command_.Length()) + " bytes";
    }
    std::string rest;
    std::string word = FirstWord(LineFields::Trimmed(line_), rest);
    const TsplRow* row = FindRow(word, std::begin(Commands), std::end(Commands));
    std::string name = word.substr(0, 16);
    if (word == "SET") {
        std::string value;
        const std::string setting = FirstWord(LineFields::Trimmed(rest), value);
        row = FindRow(setting, std::begin(Settings), std::end(Settings));
        rest = value;
        name = "SET " + setting.substr(0, 16);
    }
    if (row == nullptr) {
        command_.Finish(sink, counts_, "", problem.empty() ? "unknown command" : problem, name);
        return;
    }
    const std::string_view command = row->command;
    const std::vector<std::string> values =
        command == "REM" ? std::vector<std::string>{} : LineFields::Split(rest, ',');
    if (problem.empty() && command == "PRINT") {
        Print(values);
    }
    if (problem.empty()) {
        problem = LineFields::RangeProblem(values, row->min, row->max);
    }
    std::string meaning;
    if (command_.WantsMeaning() || !problem.empty()) {
        meaning = LineFields::Describe(row->meaning, row->params, values);
        if (command == "REM") {
            meaning += ": " + LineFields::Trimmed(rest).substr(0, 40);
        }
    }
    command_.Finish(sink, counts_, std::move(meaning), std::move(problem), name);
}

void TsplDecoder::FinishImmediate(CommandSink& sink, bool cut) {
    const char code = line_.size() == 3 ? line_[2] : '\0';
    for (const ImmediateRow& row : Immediates) {
        if (row.code == code) {
            command_.Finish(sink, counts_, row.meaning, {}, std::string("ESC ! ") + code);
            return;
        }
    }
    command_.Finish(sink, counts_, "",
                    cut ? "truncated: part of an ESC ! command" : "unknown command", "ESC !");
}

void TsplDecoder::End(CommandSink& sink) {
    if (!command_.Open()) {
        return;
    }
    if (immediateLeft_ > 0) {
        immediateLeft_ = 0;
        FinishImmediate(sink, true);
    } else if (dataLeft_ > 0) {
        const std::uint64_t total = dataTotal_;
        const std::uint64_t left = dataLeft_;
        dataLeft_ = 0;
        FinishLine(sink, "truncated: " + std::to_string(total - left) + " of " +
                             std::to_string(total) + " data bytes");
    } else {
        FinishLine(sink);
    }
}
