#include "core/inspect/epl_decoder.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

struct EplRow {
    std::string_view command;
    const char* meaning;
    // The parameters' names in order, space-separated.
    const char* params;
};

// After Zebra's EPL2 programming manual. Longer commands come before their first letter.
constexpr EplRow Commands[] = {
    {"LO", "draw line", "x y width height"},
    {"LE", "draw line (exclusive or)", "x y width height"},
    {"LW", "draw white line", "x y width height"},
    {"LS", "draw diagonal line", "x y thickness end-x end-y"},
    {"GW", "graphic", "x y row-bytes rows"},
    {"GG", "print stored graphic", "x y name"},
    {"GK", "delete graphic", "name"},
    {"GM", "store graphic", "name bytes"},
    {"ZT", "print from top", ""},
    {"ZB", "print from bottom", ""},
    {"JF", "top of form backup on", ""},
    {"JB", "top of form backup off", ""},
    {"FK", "delete form", "name"},
    {"FS", "store form", "name"},
    {"FE", "end of form", ""},
    {"FR", "recall form", "name"},
    {"OD", "direct thermal mode", ""},
    {"UN", "status off", ""},
    {"UQ", "print configuration", ""},
    {"N", "clear image buffer", ""},
    {"q", "label width", "dots"},
    {"Q", "label length", "length gap offset"},
    {"S", "print speed", "speed"},
    {"D", "print density", "density"},
    {"R", "reference point", "x y"},
    {"I", "character set", "bits code-page country"},
    {"O", "options", "options"},
    {"A", "text", "x y rotation font width height reverse data"},
    {"B", "bar code", "x y rotation type narrow wide height text data"},
    {"b", "2D bar code", "x y type"},
    {"X", "draw box", "x y thickness end-x end-y"},
    {"P", "print", "sets copies"},
    {"U", "print configuration", ""},
    {"V", "variable", "number length justification prompt"},
    {"C", "counter", "number length justification step prompt"},
    {"Y", "serial port setup", "baud parity bits stop"},
};

std::vector<std::string> Split(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] == '"') {
            quoted = !quoted;
        }
        if (i == text.size() || (text[i] == ',' && !quoted)) {
            parts.emplace_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        words.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

std::string_view WithoutLineEnd(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// Whether `line` begins with `command`, compared in place: a command is a letter or two.
inline bool Begins(std::string_view line, std::string_view command) {
    if (line.size() < command.size()) {
        return false;
    }
    for (std::size_t i = 0; i < command.size(); ++i) {
        if (line[i] != command[i]) {
            return false;
        }
    }
    return true;
}

// The command a line begins with, the longest first, among the rows of its first letter
// (an index built once: a label file holds millions of lines).
const EplRow* FindRow(std::string_view line) {
    static const std::vector<std::vector<const EplRow*>> byFirst = [] {
        std::vector<std::vector<const EplRow*>> rows(256);
        for (const EplRow& row : Commands) {
            rows[static_cast<unsigned char>(row.command[0])].push_back(&row);
        }
        return rows;
    }();
    if (line.empty()) {
        return nullptr;
    }
    for (const EplRow* row : byFirst[static_cast<unsigned char>(line[0])]) {
        if (Begins(line, row->command)) {
            return row;
        }
    }
    return nullptr;
}

// "draw line x=10 y=20 ...": the row's meaning and each value after its name.
std::string Describe(const EplRow& row, const std::vector<std::string>& values) {
    std::string meaning = row.meaning;
    const std::vector<std::string> names = Words(row.params);
    for (std::size_t i = 0; i < values.size() && i < names.size(); ++i) {
        if (!values[i].empty()) {
            // Appended piece by piece: GCC 12's -Wrestrict sees a false overlap otherwise.
            meaning.append(1, ' ').append(names[i]).append(1, '=').append(values[i].substr(0, 40));
        }
    }
    return meaning;
}

} // namespace

void EplDecoder::Begin(std::uint64_t offset) {
    offset_ = offset;
}

void EplDecoder::Feed(std::string_view bytes, CommandSink& sink) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (dataLeft_ > 0) {
            const std::size_t take = command_.SkipData(dataLeft_, bytes.size() - i);
            offset_ += take;
            i += take - 1;
            continue;
        }
        if (TakesRun(bytes, i)) {
            // A line that is no image runs to its line feed: taken whole.
            if (!command_.Open()) {
                StartLine();
            }
            const std::size_t feed = bytes.find('\n', i);
            const std::size_t end = feed == std::string_view::npos ? bytes.size() : feed;
            const std::string_view run = bytes.substr(i, end - i);
            command_.Add(run);
            line_.append(run.substr(0, LineLimit - std::min(LineLimit, line_.size())));
            offset_ += run.size();
            i = end;
            if (i == bytes.size()) {
                break;
            }
        }
        Byte(bytes[i], sink);
        ++offset_;
    }
}

bool EplDecoder::TakesRun(std::string_view bytes, std::size_t at) const {
    // Only GW's first four parameters are looked at byte by byte (its data's size).
    const auto isImage = [](char first, char second) { return first == 'G' && second == 'W'; };
    if (command_.Open()) {
        return line_.size() >= 2 && !isImage(line_[0], line_[1]);
    }
    return bytes[at] != '\r' && bytes[at] != '\n' && at + 1 < bytes.size() &&
           !isImage(bytes[at], bytes[at + 1]);
}

void EplDecoder::StartLine() {
    command_.Start(offset_);
    line_.clear();
    commas_ = 0;
    dataTotal_ = 0;
}

void EplDecoder::Byte(char byte, CommandSink& sink) {
    if (!command_.Open()) {
        if (byte == '\r' || byte == '\n') {
            return;
        }
        StartLine();
    }
    command_.Add(byte);
    if (byte == '\n') {
        FinishLine(sink);
        return;
    }
    if (line_.size() < LineLimit) {
        line_.push_back(byte);
    }
    // GWx,y,w,h, then w * h bytes of image data.
    if (byte == ',' && line_.rfind("GW", 0) == 0 && ++commas_ == 4 && dataTotal_ == 0) {
        const std::vector<std::string> parts = Split(line_.substr(2));
        // A quote among the parameters hides a comma: then this is no image header.
        const long long width = parts.size() >= 4 ? std::atoll(parts[2].c_str()) : 0;
        const long long rows = parts.size() >= 4 ? std::atoll(parts[3].c_str()) : 0;
        if (width > 0 && rows > 0 && width <= 65535 && rows <= 65535) {
            dataTotal_ = static_cast<std::uint64_t>(width * rows);
            dataLeft_ = dataTotal_;
            ++counts_.images;
            counts_.imageBytes += dataTotal_;
        }
    }
}

void EplDecoder::FinishLine(CommandSink& sink, std::string problem) {
    const std::string_view line = WithoutLineEnd(line_);
    if (problem.empty() && command_.Length() > LineLimit && dataTotal_ == 0) {
        problem = "line too long: " + std::to_string(command_.Length()) + " bytes";
    }
    const EplRow* row = FindRow(line);
    if (row == nullptr) {
        command_.Finish(sink, counts_, "", problem.empty() ? "unknown command" : problem,
                        std::string(line.substr(0, 2)));
        return;
    }
    const std::string_view name = row->command;
    // Split only where needed: a summary reads the values of P alone.
    const bool described = command_.WantsMeaning() || !problem.empty();
    std::vector<std::string> values;
    if (described || name == "P") {
        values = Split(line.substr(name.size()));
    }
    if (name == "P") {
        const long long sets = values.empty() ? 1 : std::atoll(values[0].c_str());
        const long long copies = values.size() > 1 ? std::atoll(values[1].c_str()) : 1;
        // A count whose product no label counter holds is as wrong as one below 1.
        if (sets < 1 || copies < 1 || sets > std::numeric_limits<long long>::max() / copies) {
            problem = problem.empty() ? "parameter out of range" : problem;
        } else {
            counts_.labels += static_cast<std::uint64_t>(sets * copies);
        }
    }
    if (problem.empty() && !command_.WantsMeaning()) {
        command_.FinishSound(sink, counts_, name);
        return;
    }
    command_.Finish(sink, counts_, Describe(*row, values), problem, std::string(name));
}

void EplDecoder::End(CommandSink& sink) {
    if (!command_.Open()) {
        return;
    }
    if (dataLeft_ > 0) {
        FinishLine(sink, "truncated: " + std::to_string(dataTotal_ - dataLeft_) + " of " +
                             std::to_string(dataTotal_) + " image bytes");
        return;
    }
    FinishLine(sink);
}
