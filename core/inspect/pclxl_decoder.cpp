#include "core/inspect/pclxl_decoder.h"

#include "core/inspect/command_sink.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace {

struct OperatorRow {
    unsigned char code;
    const char* name;
    const char* meaning;
};

// After HP's PCL XL feature reference.
constexpr OperatorRow Operators[] = {
    {0x41, "BeginSession", "begin session"},
    {0x42, "EndSession", "end session"},
    {0x43, "BeginPage", "begin page"},
    {0x44, "EndPage", "end page"},
    {0x46, "VendorUnique", "vendor command"},
    {0x47, "Comment", "comment"},
    {0x48, "OpenDataSource", "open data source"},
    {0x49, "CloseDataSource", "close data source"},
    {0x4A, "EchoComment", "echo comment"},
    {0x4B, "Query", "query"},
    {0x4C, "Diagnostic3", "diagnostic"},
    {0x4F, "BeginFontHeader", "begin font header"},
    {0x50, "ReadFontHeader", "read font header"},
    {0x51, "EndFontHeader", "end font header"},
    {0x52, "BeginChar", "begin character"},
    {0x53, "ReadChar", "read character"},
    {0x54, "EndChar", "end character"},
    {0x55, "RemoveFont", "remove font"},
    {0x56, "SetCharAttributes", "character attributes"},
    {0x57, "SetDefaultGS", "default graphics state"},
    {0x58, "SetColorTreatment", "color treatment"},
    {0x5B, "BeginStream", "begin stream"},
    {0x5C, "ReadStream", "read stream"},
    {0x5D, "EndStream", "end stream"},
    {0x5E, "ExecStream", "run stream"},
    {0x5F, "RemoveStream", "remove stream"},
    {0x60, "PopGS", "pop graphics state"},
    {0x61, "PushGS", "push graphics state"},
    {0x62, "SetClipReplace", "replace clip"},
    {0x63, "SetBrushSource", "brush"},
    {0x64, "SetCharAngle", "character angle"},
    {0x65, "SetCharScale", "character scale"},
    {0x66, "SetCharShear", "character shear"},
    {0x67, "SetClipIntersect", "intersect clip"},
    {0x68, "SetClipRectangle", "clip rectangle"},
    {0x69, "SetClipToPage", "clip to page"},
    {0x6A, "SetColorSpace", "color space"},
    {0x6B, "SetCursor", "cursor"},
    {0x6C, "SetCursorRel", "move cursor"},
    {0x6D, "SetHalftoneMethod", "halftone method"},
    {0x6E, "SetFillMode", "fill mode"},
    {0x6F, "SetFont", "font"},
    {0x70, "SetLineDash", "line dash"},
    {0x71, "SetLineCap", "line cap"},
    {0x72, "SetLineJoin", "line join"},
    {0x73, "SetMiterLimit", "miter limit"},
    {0x74, "SetPageDefaultCTM", "default page transform"},
    {0x75, "SetPageOrigin", "page origin"},
    {0x76, "SetPageRotation", "page rotation"},
    {0x77, "SetPageScale", "page scale"},
    {0x78, "SetPatternTxMode", "pattern transparency"},
    {0x79, "SetPenSource", "pen"},
    {0x7A, "SetPenWidth", "pen width"},
    {0x7B, "SetROP", "raster operation"},
    {0x7C, "SetSourceTxMode", "source transparency"},
    {0x7D, "SetCharBoldValue", "character boldness"},
    {0x7E, "SetNeutralAxis", "neutral axis"},
    {0x7F, "SetClipMode", "clip mode"},
    {0x80, "SetPathToClip", "path to clip"},
    {0x81, "SetCharSubMode", "character substitution"},
    {0x82, "BeginUserDefinedLineCap", "begin line cap"},
    {0x83, "EndUserDefinedLineCap", "end line cap"},
    {0x84, "CloseSubPath", "close subpath"},
    {0x85, "NewPath", "new path"},
    {0x86, "PaintPath", "paint path"},
    {0x91, "ArcPath", "arc path"},
    {0x92, "SetColorTrapping", "color trapping"},
    {0x93, "BezierPath", "Bezier path"},
    {0x94, "SetAdaptiveHalftoning", "adaptive halftoning"},
    {0x95, "BezierRelPath", "relative Bezier path"},
    {0x96, "Chord", "chord"},
    {0x97, "ChordPath", "chord path"},
    {0x98, "Ellipse", "ellipse"},
    {0x99, "EllipsePath", "ellipse path"},
    {0x9B, "LinePath", "line path"},
    {0x9C, "LineRelPath", "relative line path"},
    {0x9D, "Pie", "pie"},
    {0x9E, "PiePath", "pie path"},
    {0x9F, "Rectangle", "rectangle"},
    {0xA0, "RectanglePath", "rectangle path"},
    {0xA1, "RoundRectangle", "round rectangle"},
    {0xA2, "RoundRectanglePath", "round rectangle path"},
    {0xA8, "Text", "text"},
    {0xA9, "TextPath", "text path"},
    {0xB0, "BeginImage", "begin image"},
    {0xB1, "ReadImage", "read image"},
    {0xB2, "EndImage", "end image"},
    {0xB3, "BeginRastPattern", "begin raster pattern"},
    {0xB4, "ReadRastPattern", "read raster pattern"},
    {0xB5, "EndRastPattern", "end raster pattern"},
    {0xB6, "BeginScan", "begin scan"},
    {0xB8, "EndScan", "end scan"},
    {0xB9, "ScanLineRel", "scan line"},
};

struct AttributeRow {
    unsigned short id;
    const char* name;
    // The words of the values 0, 1, 2, ... separated by '/', or null.
    const char* values;
};

constexpr AttributeRow Attributes[] = {
    {2, "palette depth", "1 bit/4 bits/8 bits"},
    {3, "color space", "bilevel/gray/RGB/CMY"},
    {4, "null brush", nullptr},
    {5, "null pen", nullptr},
    {6, "palette data", nullptr},
    {8, "pattern", nullptr},
    {9, "gray level", nullptr},
    {11, "RGB color", nullptr},
    {12, "pattern origin", nullptr},
    {13, "new destination size", nullptr},
    {14, "primary array", nullptr},
    {15, "primary depth", "1 bit/4 bits/8 bits"},
    {33, "device matrix", nullptr},
    {34, "dither matrix data type", nullptr},
    {35, "dither origin", nullptr},
    {36, "media destination", nullptr},
    {37, "media size",
     "Letter/Legal/A4/Executive/Ledger/A3/COM10 envelope/Monarch envelope/C5 envelope/"
     "DL envelope/JIS B4/JIS B5/B5 envelope/size 13/Japanese postcard/"
     "Japanese double postcard/A5/A6/JIS B6"},
    {38, "media source",
     "default/auto/manual/multipurpose tray/upper tray/lower tray/envelope tray/third tray"},
    {39, "media type", nullptr},
    {40, "orientation", "portrait/landscape/reverse portrait/reverse landscape"},
    {41, "page angle", nullptr},
    {42, "page origin", nullptr},
    {43, "page scale", nullptr},
    {44, "raster operation", nullptr},
    {45, "transparency", "opaque/transparent"},
    {47, "custom media size", nullptr},
    {48, "custom media size units", "inch/millimeter/tenth of a millimeter"},
    {49, "copies", nullptr},
    {50, "dither matrix size", nullptr},
    {51, "dither matrix depth", nullptr},
    {52, "simplex", "simplex"},
    {53, "duplex", "horizontal binding/vertical binding"},
    {54, "duplex side", "front/back"},
    {65, "arc direction", "clockwise/counterclockwise"},
    {66, "bounding box", nullptr},
    {67, "dash offset", nullptr},
    {68, "ellipse dimension", nullptr},
    {69, "end point", nullptr},
    {70, "fill mode", "non-zero winding/even-odd"},
    {71, "line cap", "butt/round/square/triangle"},
    {72, "line join", "miter/round/bevel/none"},
    {73, "miter length", nullptr},
    {74, "line dash style", nullptr},
    {75, "pen width", nullptr},
    {76, "point", nullptr},
    {77, "number of points", nullptr},
    {78, "solid line", nullptr},
    {79, "start point", nullptr},
    {80, "point type", nullptr},
    {81, "control point 1", nullptr},
    {82, "control point 2", nullptr},
    {83, "clip region", "interior/exterior"},
    {84, "clip mode", "non-zero winding/even-odd"},
    {98, "color depth", "1 bit/4 bits/8 bits"},
    {99, "block height", nullptr},
    {100, "color mapping", "direct pixel/indexed pixel"},
    {101, "compression", "none/run length/JPEG/delta row"},
    {102, "destination box", nullptr},
    {103, "destination size", nullptr},
    {104, "pattern persistence", "temporary/page/session"},
    {105, "pattern ID", nullptr},
    {107, "source height", nullptr},
    {108, "source width", nullptr},
    {109, "start line", nullptr},
    {110, "pad bytes multiple", nullptr},
    {111, "block byte length", nullptr},
    {115, "number of scan lines", nullptr},
    {129, "comment", nullptr},
    {130, "data organization", "high byte first/low byte first"},
    {134, "measure", "inch/millimeter/tenth of a millimeter"},
    {136, "source type", "default"},
    {137, "units per measure", nullptr},
    {138, "query key", nullptr},
    {139, "stream name", nullptr},
    {140, "stream data length", nullptr},
    {143, "error report",
     "none/back channel/error page/back channel and page/"
     "new back channel/new error page/new back channel and page"},
    {145, "read timeout", nullptr},
    {161, "character angle", nullptr},
    {162, "character code", nullptr},
    {163, "character data size", nullptr},
    {164, "character scale", nullptr},
    {165, "character shear", nullptr},
    {166, "character size", nullptr},
    {167, "font header length", nullptr},
    {168, "font name", nullptr},
    {169, "font format", nullptr},
    {170, "symbol set", nullptr},
    {171, "text", nullptr},
    {172, "character substitution", nullptr},
    {175, "x spacing", nullptr},
    {176, "y spacing", nullptr},
    {177, "character boldness", nullptr},
};

// The data types' tags: their low three bits give the element's type, the rest whether
// the value is one element, an array, an x-y pair or a box.
constexpr std::array<std::size_t, 6> ElementSize = {1, 2, 4, 2, 4, 4};
constexpr unsigned char Scalar = 0xC0;
constexpr unsigned char Array = 0xC8;
constexpr unsigned char Pair = 0xD0;
constexpr unsigned char Box = 0xE0;
constexpr unsigned char AttributeByte = 0xF8;
constexpr unsigned char AttributeWord = 0xF9;
constexpr unsigned char DataLong = 0xFA;
constexpr unsigned char DataShort = 0xFB;
// A text array is shown up to this many characters.
constexpr std::size_t ShownText = 40;

bool IsWhiteSpace(unsigned char byte) {
    return byte == 0x00 || (byte >= 0x09 && byte <= 0x0D) || byte == 0x20;
}

bool IsDataType(unsigned char tag) {
    const unsigned char kind = tag & 0xF8;
    return (tag & 0x07) <= 5 && (kind == Scalar || kind == Array || kind == Pair || kind == Box);
}

std::size_t ElementsOf(unsigned char tag) {
    switch (tag & 0xF8) {
    case Pair:
        return 2;
    case Box:
        return 4;
    default:
        return 1;
    }
}

const OperatorRow* FindOperator(unsigned char code) {
    const auto row = std::find_if(std::begin(Operators), std::end(Operators),
                                  [code](const OperatorRow& r) { return r.code == code; });
    return row == std::end(Operators) ? nullptr : row;
}

const AttributeRow* FindAttribute(std::uint64_t id) {
    const auto row = std::find_if(std::begin(Attributes), std::end(Attributes),
                                  [id](const AttributeRow& r) { return r.id == id; });
    return row == std::end(Attributes) ? nullptr : row;
}

// The word for value `index` in "a/b/c", or empty.
std::string ValueWord(const char* words, std::uint64_t index) {
    std::string_view rest = words;
    for (std::uint64_t i = 0; i < index; ++i) {
        const std::size_t slash = rest.find('/');
        if (slash == std::string_view::npos) {
            return {};
        }
        rest.remove_prefix(slash + 1);
    }
    return std::string(rest.substr(0, rest.find('/')));
}

std::string Hex(unsigned char byte) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "0x%02X", byte);
    return text.data();
}

} // namespace

void PclXlDecoder::Begin(std::uint64_t offset) {
    offset_ = offset;
}

void PclXlDecoder::Feed(std::string_view bytes, CommandSink& sink) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (state_ == State::Data || state_ == State::Lost) {
            Open();
            const std::uint64_t left = state_ == State::Lost ? bytes.size() - i : need_;
            const std::uint64_t take = std::min<std::uint64_t>(left, bytes.size() - i);
            command_.Skip(take);
            offset_ += take;
            i += static_cast<std::size_t>(take) - 1;
            if (state_ == State::Data && (need_ -= take) == 0) {
                Complete(sink);
            }
            continue;
        }
        Byte(static_cast<unsigned char>(bytes[i]), sink);
        ++offset_;
    }
}

void PclXlDecoder::Open() {
    if (!command_.Open()) {
        command_.Start(offset_);
    }
}

void PclXlDecoder::Byte(unsigned char byte, CommandSink& sink) {
    if (state_ == State::Header) {
        HeaderByte(byte, sink);
        return;
    }
    if (state_ == State::Token) {
        Token(byte, sink);
        return;
    }
    command_.Add(static_cast<char>(byte));
    if (bytes_.size() < ValueLimit) {
        bytes_.push_back(static_cast<char>(byte));
    }
    if (--need_ == 0) {
        Complete(sink);
    }
}

void PclXlDecoder::HeaderByte(unsigned char byte, CommandSink& sink) {
    if (!command_.Open()) {
        if (byte == '\r' || byte == '\n' || byte == ' ' || byte == '\t') {
            return;
        }
        command_.Start(offset_);
    }
    command_.Add(static_cast<char>(byte));
    if (byte != '\n') {
        if (header_.size() < HeaderLimit) {
            header_.push_back(static_cast<char>(byte));
        }
        return;
    }
    if (!header_.empty() && header_.back() == '\r') {
        header_.pop_back();
    }
    constexpr std::string_view Mark = " HP-PCL XL;";
    if (header_.size() < 1 + Mark.size() || header_.compare(1, Mark.size(), Mark) != 0 ||
        (header_[0] != ')' && header_[0] != '(')) {
        Fail(sink,
             header_[0] == '\'' ? "ASCII binding is not decoded" : "not a PCL XL stream header");
        return;
    }
    littleEndian_ = header_[0] == ')';
    state_ = State::Token;
    std::string rest = header_.substr(1 + Mark.size());
    std::replace(rest.begin(), rest.end(), ';', ' ');
    command_.Finish(sink, counts_,
                    std::string("stream header: ") +
                        (littleEndian_ ? "low byte first" : "high byte first") + ", protocol " +
                        rest.substr(0, 60),
                    {}, header_.substr(0, 1) + " HP-PCL XL");
}

void PclXlDecoder::Token(unsigned char byte, CommandSink& sink) {
    if (IsWhiteSpace(byte)) {
        if (command_.Open()) {
            command_.Add(static_cast<char>(byte));
        }
        return;
    }
    Open();
    command_.Add(static_cast<char>(byte));
    tag_ = byte;
    bytes_.clear();
    if (IsDataType(byte)) {
        if ((byte & 0xF8) == Array) {
            state_ = State::ArrayLength;
            need_ = 1;
        } else {
            elements_ = ElementsOf(byte);
            Need(State::Value, elements_ * ElementSize[byte & 0x07]);
        }
    } else if (byte == AttributeByte || byte == AttributeWord) {
        Need(State::AttributeId, byte == AttributeByte ? 1 : 2);
    } else if (byte == DataLong || byte == DataShort) {
        Need(State::DataLength, byte == DataLong ? 4 : 1);
    } else if (byte >= 0x41 && byte <= 0xBF) {
        Operator(byte, sink);
    } else {
        Fail(sink, "unknown tag " + Hex(byte));
    }
}

void PclXlDecoder::Need(State state, std::uint64_t bytes) {
    state_ = state;
    need_ = bytes;
}

// A token's last byte has come (for an array: its length's tag, then its length).
void PclXlDecoder::Complete(CommandSink& sink) {
    switch (state_) {
    case State::ArrayLength:
        if (bytes_.size() == 1) {
            const auto lengthTag = static_cast<unsigned char>(bytes_[0]);
            if (lengthTag != Scalar && lengthTag != Scalar + 1) {
                Fail(sink, "unknown array length tag " + Hex(lengthTag));
                return;
            }
            need_ = lengthTag == Scalar ? 1 : 2;
            return;
        }
        elements_ = Number(bytes_, 1, bytes_.size() - 1);
        bytes_.clear();
        Need(State::Value, elements_ * ElementSize[tag_ & 0x07]);
        if (need_ == 0) {
            Complete(sink);
        }
        return;
    case State::Value:
        hasValue_ = true;
        valueTag_ = tag_;
        value_ = bytes_;
        valueElements_ = elements_;
        state_ = State::Token;
        return;
    case State::AttributeId:
        Attribute();
        state_ = State::Token;
        return;
    case State::DataLength:
        dataTotal_ = Number(bytes_, 0, bytes_.size());
        Need(State::Data, dataTotal_);
        if (dataTotal_ == 0) {
            Complete(sink);
        }
        return;
    case State::Data: {
        state_ = State::Token;
        if (lastOperator_ == "ReadImage" || lastOperator_ == "ReadRastPattern") {
            counts_.imageBytes += dataTotal_;
        }
        if (!attributes_.empty() || hasValue_) {
            return;
        }
        command_.Finish(sink, counts_,
                        command_.WantsMeaning() ? "data of " + lastOperator_ + ": " +
                                                      std::to_string(dataTotal_) + " bytes"
                                                : std::string(),
                        {}, "data");
        return;
    }
    default:
        return;
    }
}

void PclXlDecoder::Attribute() {
    const std::uint64_t id = Number(bytes_, 0, bytes_.size());
    const AttributeRow* row = FindAttribute(id);
    std::string text = row != nullptr ? row->name : "attribute " + std::to_string(id);
    std::string value = hasValue_ ? ValueText() : "?";
    // Each attribute id follows its value: one alone is a fault of the stream.
    missingValue_ = missingValue_ || !hasValue_;
    if (row != nullptr && row->values != nullptr && hasValue_ && (valueTag_ & 0xF8) == Scalar) {
        const std::string word = ValueWord(row->values, Number(value_, 0, value_.size()));
        value = word.empty() ? value : word;
    }
    hasValue_ = false;
    if (attributes_.size() >= MeaningLimit) {
        if (attributes_.back() != '.') {
            attributes_ += " ...";
        }
        return;
    }
    attributes_.append(attributes_.empty() ? "" : " ").append(text).append(1, '=').append(value);
}

void PclXlDecoder::Operator(unsigned char byte, CommandSink& sink) {
    const OperatorRow* row = FindOperator(byte);
    std::string problem;
    if (row == nullptr) {
        problem = "unknown operator " + Hex(byte);
    } else if (hasValue_) {
        problem = "a value without an attribute";
    } else if (missingValue_) {
        problem = "an attribute without a value";
    }
    std::string meaning;
    if (row != nullptr && (command_.WantsMeaning() || !problem.empty())) {
        meaning = std::string(row->meaning) + (attributes_.empty() ? "" : ": " + attributes_);
    }
    if (row != nullptr) {
        const std::string_view name = row->name;
        if (name == "BeginPage") {
            inPage_ = true;
            pageOffset_ = offset_ + 1 - command_.Length();
        } else if (name == "EndPage") {
            inPage_ = false;
            ++counts_.pages;
        } else if (name == "BeginImage") {
            ++counts_.images;
        }
        lastOperator_ = row->name;
    }
    attributes_.clear();
    hasValue_ = false;
    missingValue_ = false;
    command_.Finish(sink, counts_, std::move(meaning), std::move(problem),
                    row != nullptr ? row->name : Hex(byte));
}

void PclXlDecoder::Fail(CommandSink& sink, std::string problem) {
    state_ = State::Lost;
    command_.Finish(sink, counts_, "", std::move(problem), "data");
}

// `size` bytes from `at` as an unsigned number, in the stream's byte order.
std::uint64_t PclXlDecoder::Number(const std::string& bytes, std::size_t at,
                                   std::size_t size) const {
    std::uint64_t number = 0;
    for (std::size_t i = 0; i < size && at + i < bytes.size(); ++i) {
        const std::size_t index = littleEndian_ ? at + size - 1 - i : at + i;
        number = number << 8 | static_cast<unsigned char>(bytes[index]);
    }
    return number;
}

// The value read last as text: a number, "(x, y)", "(a, b, c, d)", a text array in quotes,
// or an array's count.
std::string PclXlDecoder::ValueText() const {
    const unsigned type = valueTag_ & 0x07;
    const std::size_t size = ElementSize[type];
    if ((valueTag_ & 0xF8) == Array) {
        const bool text = type == 0 && std::all_of(value_.begin(), value_.end(),
                                                   [](char c) { return c >= 0x20 && c < 0x7f; });
        std::string shown;
        if (text) {
            shown.append("\"").append(value_, 0, ShownText);
            shown.append(valueElements_ > ShownText ? "...\"" : "\"");
        } else {
            shown.append("[").append(std::to_string(valueElements_)).append(" values]");
        }
        return shown;
    }
    std::string text;
    for (std::size_t i = 0; i < valueElements_; ++i) {
        const std::uint64_t raw = Number(value_, i * size, size);
        std::string element;
        if (type == 3 || type == 4) {
            const int bits = static_cast<int>(size * 8);
            const auto value =
                static_cast<long long>(raw) - (raw >> (bits - 1) != 0 ? (1LL << bits) : 0);
            element = std::to_string(value);
        } else if (type == 5) {
            float real = 0;
            const auto bits = static_cast<std::uint32_t>(raw);
            std::memcpy(&real, &bits, sizeof real);
            std::array<char, 32> digits{};
            std::snprintf(digits.data(), digits.size(), "%g", static_cast<double>(real));
            element = digits.data();
        } else {
            element = std::to_string(raw);
        }
        text.append(i == 0 ? "" : ", ").append(element);
    }
    return valueElements_ > 1 ? "(" + text + ")" : text;
}

void PclXlDecoder::End(CommandSink& sink) {
    if (command_.Open()) {
        switch (state_) {
        case State::Header:
            command_.Finish(sink, counts_, "", "truncated: no line feed after the stream header",
                            "header");
            break;
        case State::Lost:
            command_.Finish(sink, counts_, "not decoded after the problem before", {}, "data");
            break;
        case State::Data:
            command_.Finish(sink, counts_, "data of " + lastOperator_,
                            "truncated: " + std::to_string(dataTotal_ - need_) + " of " +
                                std::to_string(dataTotal_) + " data bytes",
                            "data");
            break;
        case State::Token:
            command_.Finish(sink, counts_, "", "truncated: attributes without an operator",
                            "attributes");
            break;
        default:
            command_.Finish(sink, counts_, "", "truncated: the file ends inside a value",
                            "attributes");
            break;
        }
    }
    if (inPage_) {
        inPage_ = false;
        command_.Start(offset_);
        command_.Finish(
            sink, counts_, "end of file",
            "the page begun at offset " + std::to_string(pageOffset_) + " has no EndPage", "end");
    }
}
