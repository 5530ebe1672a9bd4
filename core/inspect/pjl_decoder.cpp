#include "core/inspect/pjl_decoder.h"

#include "core/inspect/universal_exit.h"

#include <algorithm>
#include <cctype>

namespace {

struct PjlRow {
    const char* command;
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

std::string Upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

void PjlDecoder::Begin(std::uint64_t offset) {
    offset_ = offset;
}

void PjlDecoder::Feed(std::string_view bytes, CommandSink& sink) {
    for (char byte : bytes) {
        Byte(byte, sink);
        ++offset_;
    }
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
        command_.Finish(sink, counts_, "blank line", problem, "blank");
        return;
    }
    const std::string upper = Upper(text);
    if (upper.rfind("@PJL", 0) != 0) {
        command_.Finish(sink, counts_, "", problem.empty() ? "not a PJL line" : problem, "text");
        return;
    }
    const std::string_view rest = Trim(text.substr(4));
    const std::string word = Upper(rest.substr(0, rest.find_first_of(" \t")));
    const std::string_view arguments = Trim(rest.substr(word.size()));
    for (const PjlRow& row : Commands) {
        if (word == row.command) {
            std::string meaning = row.meaning;
            if (!arguments.empty()) {
                meaning += ": " + std::string(arguments.substr(0, 80));
            }
            command_.Finish(sink, counts_, meaning, problem, "@PJL " + word);
            return;
        }
    }
    command_.Finish(sink, counts_, "", problem.empty() ? "unknown PJL command" : problem,
                    "@PJL " + word.substr(0, 20));
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
