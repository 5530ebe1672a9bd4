#include "core/inspect/cpcl_decoder.h"

#include "core/inspect/line_fields.h"

#include <algorithm>

namespace {

// One command: its names (space-separated: the long one and its abbreviations), its
// meaning, its parameters' names, and where every plain whole-number parameter must lie.
struct CpclRow {
    const char* names;
    const char* meaning;
    const char* params;
    long long min;
    long long max;
};

constexpr long long Any = 999999999;
// Where a coordinate or a size in dots may lie.
constexpr long long Dots = 32000;
// The largest quantity a label header may ask for.
constexpr long long MaxQuantity = 1024;
// The largest width in bytes or height in dots an image is taken to have.
constexpr long long ImageSide = 65535;
// A multi-line block's line is shown up to this many bytes.
constexpr std::size_t ShownText = 40;

// After Zebra's CPCL programming guide.
constexpr CpclRow Commands[] = {
    {"TEXT T", "text", "font size x y text", 0, Dots},
    {"VTEXT VT TEXT90 T90", "text rotated 90", "font size x y text", 0, Dots},
    {"TEXT180 T180", "text rotated 180", "font size x y text", 0, Dots},
    {"TEXT270 T270", "text rotated 270", "font size x y text", 0, Dots},
    {"BARCODE B", "bar code", "type width ratio height x y data", 0, Dots},
    {"VBARCODE VB", "vertical bar code", "type width ratio height x y data", 0, Dots},
    {"BARCODE-TEXT BT", "bar code text", "font size offset", 0, Dots},
    {"LINE L", "draw line", "x0 y0 x1 y1 width", 0, Dots},
    {"BOX", "draw box", "x0 y0 x1 y1 width", 0, Dots},
    {"INVERSE-LINE IL", "inverse line", "x0 y0 x1 y1 width", 0, Dots},
    {"EXPANDED-GRAPHICS EG", "hex graphic", "width-bytes height x y", 0, Dots},
    {"VEXPANDED-GRAPHICS VEG", "vertical hex graphic", "width-bytes height x y", 0, Dots},
    {"COMPRESSED-GRAPHICS CG", "binary graphic", "width-bytes height x y", 0, Dots},
    {"VCOMPRESSED-GRAPHICS VCG", "vertical binary graphic", "width-bytes height x y", 0, Dots},
    {"PCX", "PCX graphic", "x y", 0, Dots},
    {"SETMAG", "text magnification", "width height", 0, 16},
    {"CENTER", "center", "end", 0, Dots},
    {"LEFT", "justify left", "", 0, Dots},
    {"RIGHT", "justify right", "end", 0, Dots},
    {"PAGE-WIDTH PW", "page width", "width", 0, Dots},
    {"CONTRAST", "contrast", "level", 0, 3},
    {"TONE", "tone", "level", -99, 200},
    {"SPEED", "print speed", "level", 0, 5},
    {"SETSP", "character spacing", "spacing", 0, Dots},
    {"SETBOLD", "bold", "level", 0, 5},
    {"UNDERLINE", "underline", "on", 0, Any},
    {"ROTATE", "rotate text", "degrees", 0, 360},
    {"COUNTRY", "country", "name", 0, Any},
    {"ENCODING", "encoding", "name", 0, Any},
    {"MULTILINE ML", "multi-line text", "line-height", 0, Dots},
    {"CONCAT", "joined text", "x y", 0, Dots},
    {"ENDCONCAT", "end of joined text", "", 0, Any},
    {"SCALE-TEXT ST", "scalable text", "font width height x y text", 0, Dots},
    {"IN-INCHES", "units: inches", "", 0, Any},
    {"IN-CENTIMETERS", "units: centimeters", "", 0, Any},
    {"IN-MILLIMETERS", "units: millimeters", "", 0, Any},
    {"IN-DOTS", "units: dots", "", 0, Any},
    {"PATTERN", "fill pattern", "pattern", 100, 106},
    {"JOURNAL", "journal mode", "", 0, Any},
    {"PACE", "wait for the feed key", "", 0, Any},
    {"NO-PACE", "no waiting for the feed key", "", 0, Any},
    {"WAIT", "wait", "time", 0, Any},
    {"PREFEED", "feed before printing", "length", 0, Dots},
    {"POSTFEED", "feed after printing", "length", 0, Dots},
    {"SETFF", "form feed", "maximum skip", 0, Dots},
    {"BAR-SENSE", "black mark sensing", "", 0, Any},
    {"GAP-SENSE", "gap sensing", "", 0, Any},
    {"BEEP", "beep", "length", 0, Any},
    {"TIMEOUT", "timeout", "seconds", 0, Any},
    {"COUNT", "count", "step", -Any, Any},
    {"FORM", "feed to the next form", "", 0, Any},
    {"PRINT", "print the label", "", 0, Any},
    {"END", "end of session", "", 0, Any},
    {"ABORT", "abort the session", "", 0, Any},
};

constexpr CpclRow TwoDimensional = {"B", "2D bar code", "type x y options", 0, Dots};

// The blocks whose lines until a closing word are data, by the word that opens them (after
// B or BARCODE for the bar codes).
struct BlockRow {
    const char* opening;
    const char* closing;
    const char* meaning;
};

constexpr BlockRow Blocks[] = {
    {"QR", "ENDQR", "QR code data"},
    {"PDF-417", "ENDPDF", "PDF417 data"},
    {"MULTILINE", "ENDML", "text line"},
    {"ML", "ENDML", "text line"},
};

const CpclRow* FindRow(const std::string& word) {
    for (const CpclRow& row : Commands) {
        const std::vector<std::string> names = LineFields::Split(row.names, ' ');
        if (std::find(names.begin(), names.end(), word) != names.end()) {
            return &row;
        }
    }
    return nullptr;
}

std::size_t CountOf(const char* names) {
    return LineFields::Split(names, ' ').size();
}

bool IsGraphic(const CpclRow& row, bool binary) {
    const std::string_view meaning = row.meaning;
    return meaning.find(binary ? "binary graphic" : "hex graphic") != std::string_view::npos;
}

} // namespace

void CpclDecoder::Begin(std::uint64_t offset) {
    offset_ = offset;
}

void CpclDecoder::Feed(std::string_view bytes, CommandSink& sink) {
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

void CpclDecoder::Byte(char byte, CommandSink& sink) {
    if (!command_.Open()) {
        if (byte == '\r' || byte == '\n' || byte == ' ' || byte == '\t') {
            return;
        }
        command_.Start(offset_);
        lineOffset_ = offset_;
        line_.clear();
        words_ = 0;
        inWord_ = false;
        dataTotal_ = 0;
    }
    command_.Add(byte);
    if (byte == '\n') {
        FinishLine(sink);
        return;
    }
    if (line_.size() < LineLimit) {
        line_.push_back(byte);
    }
    if (byte == ' ' || byte == '\t') {
        Blank();
    } else if (!inWord_) {
        inWord_ = true;
        ++words_;
    }
}

// CG width height x y, then width x height bytes of binary data, which may hold line ends.
void CpclDecoder::Blank() {
    const bool ended = inWord_;
    inWord_ = false;
    if (!ended || words_ != 5 || dataTotal_ != 0 || blockEnd_.size() > 0) {
        return;
    }
    const std::vector<std::string> words = LineFields::Split(line_, ' ');
    const CpclRow* row = FindRow(LineFields::Upper(words[0]));
    long long width = 0;
    long long height = 0;
    if (row != nullptr && IsGraphic(*row, true) && LineFields::ToNumber(words[1], width) &&
        LineFields::ToNumber(words[2], height) && width > 0 && height > 0 && width <= ImageSide &&
        height <= ImageSide) {
        dataTotal_ = static_cast<std::uint64_t>(width * height);
        dataLeft_ = dataTotal_;
    }
}

void CpclDecoder::FinishLine(CommandSink& sink, std::string problem) {
    const std::string line = LineFields::Trimmed(line_);
    const std::size_t blank = std::min(line.find_first_of(" \t"), line.size());
    const std::string word = LineFields::Upper(line.substr(0, blank));
    const std::string rest = line.substr(std::min(blank + 1, line.size()));
    if (!blockEnd_.empty()) {
        std::string meaning;
        for (const BlockRow& block : Blocks) {
            if (blockEnd_ == block.closing) {
                meaning = block.meaning;
            }
        }
        if (word == blockEnd_) {
            blockEnd_.clear();
            command_.Finish(sink, counts_, "end of " + meaning, problem, word);
            return;
        }
        command_.Finish(sink, counts_, meaning + ": " + line.substr(0, ShownText), problem, "data");
        return;
    }
    if (word == "!") {
        Unclosed(sink);
        Header(sink, rest);
        return;
    }
    Command(sink, word, rest, std::move(problem));
}

void CpclDecoder::Header(CommandSink& sink, const std::string& rest) {
    const std::vector<std::string> values = LineFields::Split(rest, ' ');
    const std::string first = values.empty() ? "" : LineFields::Upper(values[0]);
    if (first == "U1") {
        // What follows "U1" (a bare "! U1" has nothing).
        const std::string command =
            LineFields::Trimmed(LineFields::Trimmed(rest).substr(2)).substr(0, ShownText);
        command_.Finish(sink, counts_,
                        command.empty() ? "utility command" : "utility command: " + command, {},
                        "! U1");
        return;
    }
    if (first == "U" || first == "UTILITIES") {
        session_ = Session::Utility;
        sessionOffset_ = lineOffset_;
        command_.Finish(sink, counts_, "start of utility session", {}, "! U");
        return;
    }
    long long quantity = 0;
    std::string problem;
    const std::string fiveNumbers =
        "a label header has 5 numbers: offset, resolutions, height, quantity";
    if (values.size() != 5) {
        problem = fiveNumbers;
    } else if (problem = LineFields::RangeProblem({values[4]}, 1, MaxQuantity); !problem.empty()) {
        // A quantity past its range, however many digits it has.
    } else if (!LineFields::ToNumber(values[4], quantity)) {
        problem = fiveNumbers;
    } else {
        problem = LineFields::RangeProblem(values, 0, Dots);
    }
    session_ = Session::Label;
    sessionOffset_ = lineOffset_;
    quantity_ = problem.empty() ? static_cast<std::uint64_t>(quantity) : 1;
    std::string meaning;
    if (command_.WantsMeaning() || !problem.empty()) {
        meaning = LineFields::Describe(
            "start of label", "offset horizontal-dpi vertical-dpi height quantity", values);
    }
    command_.Finish(sink, counts_, std::move(meaning), std::move(problem), "!");
}

void CpclDecoder::Command(CommandSink& sink, const std::string& word, const std::string& rest,
                          std::string problem) {
    const CpclRow* row = FindRow(word);
    const std::string type = LineFields::Upper(rest.substr(0, rest.find(' ')));
    if ((word == "B" || word == "BARCODE" || word == "VB" || word == "VBARCODE") &&
        (type == "QR" || type == "PDF-417")) {
        // A 2D bar code's options (B QR x y M 2 U 6) differ from a linear one's; its data
        // follows on lines of its own.
        row = &TwoDimensional;
    }
    if (row == nullptr) {
        command_.Finish(sink, counts_, "", problem.empty() ? "unknown command" : problem,
                        word.substr(0, 24));
        return;
    }
    const bool graphic = IsGraphic(*row, false) || IsGraphic(*row, true);
    // The last parameter keeps the rest of the line (a text's words); a graphic's data
    // follows its four parameters.
    const std::size_t names = CountOf(row->params);
    const std::vector<std::string> values =
        LineFields::Split(rest, ' ', names == 0 ? 64 : names + (graphic ? 1 : 0));
    if (graphic) {
        Image(values);
    }
    for (const BlockRow& block : Blocks) {
        if ((row == &TwoDimensional && type == block.opening) || word == block.opening) {
            blockEnd_ = block.closing;
        }
    }
    const bool endsUtility = word == "PRINT" && session_ == Session::Utility;
    if (problem.empty()) {
        problem = Close(word);
    }
    // A graphic's data is not a parameter: only its sizes and place are checked and shown.
    const std::vector<std::string> shown(
        values.begin(), values.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(
                                             values.size(), graphic ? 4 : 64)));
    if (problem.empty()) {
        problem = LineFields::RangeProblem(shown, row->min, row->max);
    }
    std::string meaning;
    if (command_.WantsMeaning() || !problem.empty()) {
        meaning = LineFields::Describe(endsUtility ? "end of utility session" : row->meaning,
                                       row->params, shown);
    }
    command_.Finish(sink, counts_, std::move(meaning), std::move(problem), word);
}

std::string CpclDecoder::Close(const std::string& word) {
    if (word == "PRINT") {
        // A utility session (! U, ! UTILITIES) ends with PRINT as well as END: nothing prints.
        if (session_ == Session::Utility) {
            session_ = Session::None;
            return {};
        }
        if (session_ != Session::Label) {
            return "PRINT without a label header (! 0 ...)";
        }
        counts_.labels += quantity_;
        session_ = Session::None;
    } else if (word == "END" || word == "ABORT") {
        session_ = Session::None;
    }
    return {};
}

void CpclDecoder::Image(const std::vector<std::string>& values) {
    long long width = 0;
    long long height = 0;
    if (values.size() >= 2 && LineFields::ToNumber(values[0], width) &&
        LineFields::ToNumber(values[1], height) && width > 0 && height > 0 && width <= ImageSide &&
        height <= ImageSide) {
        ++counts_.images;
        counts_.imageBytes += static_cast<std::uint64_t>(width * height);
    }
}

void CpclDecoder::Unclosed(CommandSink& sink) {
    if (session_ != Session::Label) {
        session_ = Session::None;
        return;
    }
    session_ = Session::None;
    CommandBuilder note(CommandLanguage::Cpcl);
    note.Start(command_.Open() ? lineOffset_ : offset_);
    note.Finish(sink, counts_, "label not printed",
                "the label begun at offset " + std::to_string(sessionOffset_) + " has no PRINT",
                "end");
}

void CpclDecoder::End(CommandSink& sink) {
    if (command_.Open()) {
        if (dataLeft_ > 0) {
            const std::uint64_t total = dataTotal_;
            const std::uint64_t left = dataLeft_;
            dataLeft_ = 0;
            FinishLine(sink, "truncated: " + std::to_string(total - left) + " of " +
                                 std::to_string(total) + " image bytes");
        } else {
            FinishLine(sink);
        }
    }
    if (blockEnd_.size() > 0) {
        blockEnd_.clear();
    }
    Unclosed(sink);
}
