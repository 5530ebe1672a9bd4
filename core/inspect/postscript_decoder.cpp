#include "core/inspect/postscript_decoder.h"

#include "core/inspect/line_fields.h"

#include <algorithm>
#include <string_view>
#include <vector>

// What a comment does beyond its meaning.
enum class DscRole { Plain, Header, Pages, Page, BeginDocument, EndDocument, Data };

// One comment: its keyword with the "%%" and any colon, its meaning ("{}" takes the
// value), and its role.
struct DscRow {
    const char* keyword;
    const char* meaning;
    DscRole role;
};

namespace {

// A value is shown up to this many bytes.
constexpr std::size_t ShownValue = 60;
constexpr char EndOfJob = '\x04';

// After Adobe's document structuring conventions.
constexpr DscRow Comments[] = {
    {"%!", "PostScript document: {}", DscRole::Header},
    {"%%Pages:", "page count: {}", DscRole::Pages},
    {"%%Page:", "page {}", DscRole::Page},
    {"%%BoundingBox:", "bounding box: {}", DscRole::Plain},
    {"%%HiResBoundingBox:", "bounding box: {}", DscRole::Plain},
    {"%%PageBoundingBox:", "page bounding box: {}", DscRole::Plain},
    {"%%Title:", "title: {}", DscRole::Plain},
    {"%%Creator:", "made by: {}", DscRole::Plain},
    {"%%CreationDate:", "made on: {}", DscRole::Plain},
    {"%%For:", "made for: {}", DscRole::Plain},
    {"%%Copyright:", "copyright: {}", DscRole::Plain},
    {"%%LanguageLevel:", "language level: {}", DscRole::Plain},
    {"%%DocumentData:", "data: {}", DscRole::Plain},
    {"%%Orientation:", "orientation: {}", DscRole::Plain},
    {"%%PageOrientation:", "page orientation: {}", DscRole::Plain},
    {"%%PageOrder:", "page order: {}", DscRole::Plain},
    {"%%DocumentMedia:", "media: {}", DscRole::Plain},
    {"%%PageMedia:", "page media: {}", DscRole::Plain},
    {"%%Requirements:", "requirements: {}", DscRole::Plain},
    {"%%DocumentNeededResources:", "resources needed: {}", DscRole::Plain},
    {"%%DocumentSuppliedResources:", "resources supplied: {}", DscRole::Plain},
    {"%%+", "continued: {}", DscRole::Plain},
    {"%%EndComments", "end of header comments", DscRole::Plain},
    {"%%BeginProlog", "start of prolog", DscRole::Plain},
    {"%%EndProlog", "end of prolog", DscRole::Plain},
    {"%%BeginSetup", "start of setup", DscRole::Plain},
    {"%%EndSetup", "end of setup", DscRole::Plain},
    {"%%BeginPageSetup", "start of page setup", DscRole::Plain},
    {"%%EndPageSetup", "end of page setup", DscRole::Plain},
    {"%%PageTrailer", "page trailer", DscRole::Plain},
    {"%%BeginFeature:", "printer feature: {}", DscRole::Plain},
    {"%%EndFeature", "end of printer feature", DscRole::Plain},
    {"%%IncludeFeature:", "printer feature to include: {}", DscRole::Plain},
    {"%%BeginResource:", "resource: {}", DscRole::Plain},
    {"%%EndResource", "end of resource", DscRole::Plain},
    {"%%IncludeResource:", "resource to include: {}", DscRole::Plain},
    {"%%BeginBinary:", "binary data: {} bytes", DscRole::Data},
    {"%%EndBinary", "end of binary data", DscRole::Plain},
    {"%%BeginData:", "data: {}", DscRole::Data},
    {"%%EndData", "end of data", DscRole::Plain},
    {"%%BeginDocument:", "embedded document: {}", DscRole::BeginDocument},
    {"%%EndDocument", "end of embedded document", DscRole::EndDocument},
    {"%%Trailer", "trailer", DscRole::Plain},
    {"%%EOF", "end of file", DscRole::Plain},
};

// A comment the table does not list: the conventions let programs add their own.
constexpr DscRow Other = {"%%", "document comment {}", DscRole::Plain};

const DscRow& FindRow(const std::string& line) {
    for (const DscRow& row : Comments) {
        const std::string_view keyword = row.keyword;
        if (line.rfind(keyword, 0) != 0) {
            continue;
        }
        // "%%Page:" is not "%%PageOrder:"; a keyword without a colon ends the word.
        const char next = line.size() > keyword.size() ? line[keyword.size()] : ' ';
        if (keyword.back() == ':' || keyword == "%!" || keyword == "%%+" || next == ' ' ||
            next == '\r' || next == '\n' || next == ':') {
            return row;
        }
    }
    return Other;
}

std::string Filled(std::string_view meaning, const std::string& value) {
    std::string text(meaning);
    if (const std::size_t at = text.find("{}"); at != std::string::npos) {
        const std::string shown = value.substr(0, ShownValue);
        text.replace(at, 2, shown + (value.size() > ShownValue ? "..." : ""));
    }
    return text;
}

} // namespace

void PostScriptDecoder::Begin(std::uint64_t offset) {
    offset_ = offset;
    begun_ = offset;
}

void PostScriptDecoder::Feed(std::string_view bytes, CommandSink& sink) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (dataLeft_ > 0 && !pendingEnd_) {
            const std::uint64_t take = std::min<std::uint64_t>(dataLeft_, bytes.size() - i);
            SkipData(take, sink);
            i += static_cast<std::size_t>(take) - 1;
            continue;
        }
        Byte(bytes[i], sink);
        ++offset_;
    }
}

void PostScriptDecoder::SkipData(std::uint64_t count, CommandSink& sink) {
    if (!command_.Open()) {
        command_.Start(offset_);
    }
    command_.Skip(count);
    offset_ += count;
    dataLeft_ -= count;
    if (dataLeft_ == 0) {
        FinishData(sink, {});
    }
}

// The first data byte, when it is what showed that a comment ending in a lone CR had ended.
void PostScriptDecoder::DataByte(char byte, CommandSink& sink) {
    if (!command_.Open()) {
        command_.Start(offset_);
    }
    command_.Add(byte);
    if (--dataLeft_ == 0) {
        FinishData(sink, {});
    }
}

void PostScriptDecoder::FinishData(CommandSink& sink, std::string problem) {
    if (!command_.Open()) {
        command_.Start(offset_);
    }
    command_.Finish(sink, counts_, "binary data: " + std::to_string(dataTotal_) + " bytes",
                    std::move(problem), "data");
}

// %%BeginBinary: count, or %%BeginData: count [type [Bytes|Lines]]: the count's bytes follow
// the comment's line end. Lines are counted as the program's.
void PostScriptDecoder::Announce(const DscRow& row, const std::string& value) {
    if (row.role != DscRole::Data) {
        return;
    }
    const std::vector<std::string> words = LineFields::Split(value, ' ');
    long long count = 0;
    if (words.empty() || !LineFields::ToNumber(words[0], count) || count <= 0 ||
        (words.size() > 2 && words[2] == "Lines")) {
        return;
    }
    dataTotal_ = static_cast<std::uint64_t>(count);
    dataLeft_ = dataTotal_;
}

void PostScriptDecoder::EndJob() {
    jobPages_ += std::max(declaredPages_, pageComments_);
    jobsDeclared_ += declaredPages_;
    jobsComments_ += pageComments_;
    anyDeclared_ = anyDeclared_ || declared_;
    declared_ = false;
    declaredPages_ = 0;
    pageComments_ = 0;
}

void PostScriptDecoder::Byte(char byte, CommandSink& sink) {
    if (pendingEnd_) {
        pendingEnd_ = false;
        if (byte == '\n') {
            command_.Add(byte);
            EndLine(sink);
            return;
        }
        EndLine(sink);
        if (dataLeft_ > 0) {
            DataByte(byte, sink);
            return;
        }
    }
    if (atLineStart_) {
        LineStart(byte, sink);
        return;
    }
    if (heldPercent_) {
        heldPercent_ = false;
        const bool first = heldOffset_ == begun_;
        if (byte == '%' || (byte == '!' && first)) {
            FinishRun(sink);
            command_.Start(heldOffset_);
            command_.Add('%');
            comment_ = true;
            line_.assign(1, '%');
        } else {
            EnsureRun(heldOffset_);
            ++runLines_;
            command_.Add('%');
        }
    }
    command_.Add(byte);
    if (comment_ && line_.size() < LineLimit && byte != '\r' && byte != '\n') {
        line_.push_back(byte);
    }
    if (byte == '\r') {
        pendingEnd_ = true;
    } else if (byte == '\n') {
        EndLine(sink);
    }
}

void PostScriptDecoder::LineStart(char byte, CommandSink& sink) {
    if (byte == EndOfJob) {
        FinishRun(sink);
        command_.Start(offset_);
        command_.Add(byte);
        command_.Finish(sink, counts_, "end of job (Ctrl-D)", {}, "Ctrl-D");
        // The next job has a header and pages of its own.
        EndJob();
        begun_ = offset_ + 1;
        return;
    }
    atLineStart_ = false;
    if (byte == '%') {
        heldPercent_ = true;
        heldOffset_ = offset_;
        return;
    }
    EnsureRun(offset_);
    ++runLines_;
    command_.Add(byte);
    if (byte == '\r') {
        pendingEnd_ = true;
    } else if (byte == '\n') {
        EndLine(sink);
    }
}

void PostScriptDecoder::EndLine(CommandSink& sink) {
    atLineStart_ = true;
    if (comment_) {
        FinishComment(sink);
        return;
    }
    if (run_ && runLines_ >= RunLimit) {
        FinishRun(sink);
    }
}

void PostScriptDecoder::EnsureRun(std::uint64_t offset) {
    if (!run_) {
        run_ = true;
        runLines_ = 0;
        command_.Start(offset);
    }
}

void PostScriptDecoder::FinishRun(CommandSink& sink) {
    if (!run_) {
        return;
    }
    run_ = false;
    const std::uint64_t lines = runLines_;
    command_.Finish(sink, counts_,
                    command_.WantsMeaning() ? "PostScript program: " + std::to_string(lines) +
                                                  (lines == 1 ? " line" : " lines")
                                            : std::string(),
                    {}, "program");
}

void PostScriptDecoder::FinishComment(CommandSink& sink) {
    comment_ = false;
    const DscRow& row = FindRow(line_);
    const std::string_view keyword = row.keyword;
    const std::string value =
        LineFields::Trimmed(std::string_view(line_).substr(&row == &Other ? 0 : keyword.size()));
    std::string problem = Structure(row, value);
    Announce(row, value);
    std::string meaning;
    if (command_.WantsMeaning() || !problem.empty()) {
        // "(atend)": the count comes in the trailer.
        meaning = Filled(row.meaning, value == "(atend)" ? "in the trailer" : value);
    }
    std::string name = &row == &Other ? line_.substr(0, std::min(line_.find(':'), std::size_t{40}))
                                      : std::string(keyword);
    if (!name.empty() && name.back() == ':') {
        name.pop_back();
    }
    command_.Finish(sink, counts_, std::move(meaning), std::move(problem), name);
}

std::string PostScriptDecoder::Structure(const DscRow& row, const std::string& value) {
    switch (row.role) {
    case DscRole::BeginDocument:
        if (depth_++ == 0) {
            documentOffset_ = heldOffset_;
        }
        return {};
    case DscRole::EndDocument:
        if (depth_ == 0) {
            return "%%EndDocument without %%BeginDocument";
        }
        --depth_;
        return {};
    case DscRole::Pages: {
        long long pages = 0;
        if (depth_ > 0 || value == "(atend)") {
            return {};
        }
        if (!LineFields::ToNumber(value.substr(0, value.find(' ')), pages) || pages < 0) {
            return "not a page count: " + value.substr(0, ShownValue);
        }
        declared_ = true;
        declaredPages_ = static_cast<std::uint64_t>(pages);
        return {};
    }
    case DscRole::Page:
        pageComments_ += depth_ == 0 ? 1 : 0;
        return {};
    default:
        return {};
    }
}

void PostScriptDecoder::End(CommandSink& sink) {
    if (pendingEnd_) {
        pendingEnd_ = false;
        EndLine(sink);
    }
    if (heldPercent_) {
        heldPercent_ = false;
        EnsureRun(heldOffset_);
        ++runLines_;
        command_.Add('%');
    }
    if (comment_) {
        FinishComment(sink);
    }
    FinishRun(sink);
    if (dataLeft_ > 0) {
        const std::uint64_t left = dataLeft_;
        dataLeft_ = 0;
        FinishData(sink, "truncated: " + std::to_string(dataTotal_ - left) + " of " +
                             std::to_string(dataTotal_) + " data bytes");
    }
    EndJob();
    std::string problem;
    if (depth_ > 0) {
        problem = "the embedded document begun at offset " + std::to_string(documentOffset_) +
                  " has no %%EndDocument";
    }
    if (!anyDeclared_ && jobsComments_ == 0 && problem.empty()) {
        return;
    }
    const bool fromComments = jobPages_ > jobsDeclared_;
    counts_.pages += jobPages_;
    std::string meaning =
        "pages: " + std::to_string(jobPages_) +
        (fromComments ? ", from " + std::to_string(jobsComments_) + " %%Page: comments"
                      : ", from %%Pages:");
    if (fromComments && anyDeclared_) {
        meaning += " (%%Pages: says " + std::to_string(jobsDeclared_) + ")";
    }
    command_.Start(offset_);
    command_.Finish(sink, counts_, std::move(meaning), std::move(problem), "end");
}
