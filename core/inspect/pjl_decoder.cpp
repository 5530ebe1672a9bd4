#include "core/inspect/pjl_decoder.h"

#include "core/inspect/command_sink.h"
#include "core/inspect/universal_exit.h"

#include <algorithm>

namespace {

struct PjlRow {
    // A view, so that a line's word is told from the rows by its length first.
    std::string_view command;
    const char* meaning;
};

// After HP's PJL technical reference. The rest of the line follows the meaning.
constexpr PjlRow Commands[] = {
    {"", "no operation"},
    {"JOB", "job start"},
    {"EOJ", "job end"},
    {"ENTER", "enter language"},
    {"SET", "set for this job"},
    {"DEFAULT", "set default"},
    {"INITIALIZE", "restore factory defaults"},
    {"RESET", "restore user defaults"},
    {"INQUIRE", "ask the current value"},
    {"DINQUIRE", "ask the default value"},
    {"INFO", "ask printer information"},
    {"ECHO", "echo"},
    {"USTATUS", "unsolicited status"},
    {"USTATUSOFF", "unsolicited status off"},
    {"COMMENT", "comment"},
    {"RDYMSG", "ready message"},
    {"OPMSG", "operator message"},
    {"STMSG", "status message"},
    {"FSDIRLIST", "file system: list folder"},
    {"FSQUERY", "file system: query"},
    {"FSUPLOAD", "file system: upload"},
    {"FSDOWNLOAD", "file system: download"},
    {"FSMKDIR", "file system: make folder"},
    {"FSDELETE", "file system: delete"},
    {"FSINIT", "file system: initialize"},
    {"FSAPPEND", "file system: append"},
};

// ASCII's upper case, PJL's words' (a call per byte would cost more than the line).
std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

// Whether a line's word is a row's (upper case) in any case, compared in place.
inline bool SameWord(std::string_view spelled, std::string_view command) {
    if (spelled.size() != command.size()) {
        return false;
    }
    for (std::size_t i = 0; i < spelled.size(); ++i) {
        const char c = spelled[i];
        if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != command[i]) {
            return false;
        }
    }
    return true;
}

// Whether a line begins with "@PJL" in any case.
inline bool IsPjlLine(std::string_view text) {
    return text.size() >= 4 && text[0] == '@' && (text[1] | 0x20) == 'p' &&
           (text[2] | 0x20) == 'j' && (text[3] | 0x20) == 'l';
}

inline std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return text;
}

// A PJL line's command word (after "@PJL") and what follows it.
struct PjlWords {
    std::string_view spelled;
    std::string_view arguments;
};

PjlWords WordsOf(std::string_view pjlLine) {
    const std::string_view rest = Trim(pjlLine.substr(4));
    std::size_t blank = 0;
    while (blank < rest.size() && rest[blank] != ' ' && rest[blank] != '\t') {
        ++blank;
    }
    return {rest.substr(0, blank), Trim(rest.substr(blank))};
}

const PjlRow* RowOf(std::string_view spelled) {
    for (const PjlRow& row : Commands) {
        if (SameWord(spelled, row.command)) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace

void PjlDecoder::Begin(std::uint64_t offset) {
    offset_ = offset;
}

void PjlDecoder::Feed(std::string_view bytes, CommandSink& sink) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!command_.Open() && !command_.WantsMeaning() && bytes[i] != kUniversalExit[0]) {
            // A line that begins with no ESC is no UEL: whole in the piece, it may be taken
            // in one step.
            const std::size_t feed = bytes.find('\n', i);
            if (feed != std::string_view::npos && TakeSound(bytes.substr(i, feed + 1 - i))) {
                i = feed;
                continue;
            }
        }
        if (command_.Open() && command_.Length() > uelMatched_) {
            // A line that is no UEL runs to its line feed: taken whole.
            const std::size_t feed = bytes.find('\n', i);
            const std::size_t end = feed == std::string_view::npos ? bytes.size() : feed + 1;
            TakeRun(bytes.substr(i, end - i), feed != std::string_view::npos);
            offset_ += end - i;
            i = end - 1;
            if (feed != std::string_view::npos) {
                FinishLine(sink, true);
            }
            continue;
        }
        Byte(bytes[i], sink);
        ++offset_;
    }
    command_.FlushSound(sink);
}

bool PjlDecoder::TakeSound(std::string_view line) {
    // As FinishLine: a blank line, or a known command, in a line that is not too long.
    if (line.size() > LineLimit) {
        return false;
    }
    const std::string_view text = Trim(line);
    if (!text.empty() && (!IsPjlLine(text) || RowOf(WordsOf(text).spelled) == nullptr)) {
        return false;
    }
    offset_ += line.size();
    ++counts_.commands;
    command_.CountSound();
    return true;
}

void PjlDecoder::TakeRun(std::string_view run, bool ends) {
    if (ends) {
        // Finished before the piece is gone.
        command_.AddLast(run);
    } else {
        command_.Add(run);
    }
    line_.append(run.substr(0, LineLimit - std::min(LineLimit, line_.size())));
}

void PjlDecoder::Byte(char byte, CommandSink& sink) {
    if (!command_.Open()) {
        command_.Start(offset_);
        line_.clear();
        uelMatched_ = 0;
    }
    command_.Add(byte);
    // A UEL may open the line.
    if (command_.Length() == uelMatched_ + 1 && byte == kUniversalExit[uelMatched_]) {
        if (++uelMatched_ == kUniversalExit.size()) {
            FinishUel(sink);
        }
        return;
    }
    if (uelMatched_ > 0 && line_.empty()) {
        // The line began like a UEL and is none: its first bytes are text after all.
        line_.assign(kUniversalExit.substr(0, uelMatched_));
    }
    if (line_.size() < LineLimit) {
        line_.push_back(byte);
    }
    if (byte == '\n') {
        FinishLine(sink, true);
    }
}

void PjlDecoder::FinishUel(CommandSink& sink) {
    command_.Finish(sink, counts_, "universal exit language: PJL follows", {}, "UEL");
}

void PjlDecoder::FinishLine(CommandSink& sink, bool ended) {
    const std::string_view text = Trim(line_);
    std::string problem;
    if (!ended) {
        problem = "truncated: no line feed";
    } else if (command_.Length() > LineLimit) {
        problem = "line too long: " + std::to_string(command_.Length()) + " bytes";
    }
    if (text.empty()) {
        if (problem.empty() && !command_.WantsMeaning()) {
            command_.FinishSound(sink, counts_, "blank");
            return;
        }
        command_.Finish(sink, counts_, "blank line", problem, "blank");
        return;
    }
    if (!IsPjlLine(text)) {
        command_.Finish(sink, counts_, "", problem.empty() ? "not a PJL line" : problem, "text");
        return;
    }
    const auto [spelled, arguments] = WordsOf(text);
    if (const PjlRow* row = RowOf(spelled)) {
        if (problem.empty() && !command_.WantsMeaning()) {
            command_.FinishSound(sink, counts_, std::string_view());
            return;
        }
        std::string meaning = row->meaning;
        if (!arguments.empty()) {
            meaning += ": " + std::string(arguments.substr(0, 80));
        }
        command_.Finish(sink, counts_, meaning, problem, "@PJL " + Upper(spelled));
        return;
    }
    command_.Finish(sink, counts_, "", problem.empty() ? "unknown PJL command" : problem,
                    "@PJL " + Upper(spelled.substr(0, 20)));
}

void PjlDecoder::End(CommandSink& sink) {
    if (!command_.Open()) {
        return;
    }
    if (uelMatched_ > 0 && uelMatched_ == command_.Length() && line_.empty()) {
        command_.Finish(sink, counts_, "", "truncated: part of a UEL", "UEL");
        return;
    }
    FinishLine(sink, false);
}
