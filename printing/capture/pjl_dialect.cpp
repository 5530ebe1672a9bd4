#include "printing/capture/pjl_dialect.h"

#include "core/inspect/universal_exit.h"
#include "printing/talkback/reply_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace {

using State = Emulation::State;

constexpr char kFormFeed = '\f';
// No command of ours comes near this; a longer line is data.
constexpr std::size_t kLineLimit = 1024;
// Jobs may be nested; deeper than this they are not confirmed.
constexpr std::size_t kJobDepth = 16;
constexpr long kPageLimit = 999999999;

// Each state as the HP PJL Technical Reference gives its status: 10001 ready and online,
// 10002 ready but offline (paused at the panel as well as taken offline), 40021 printer
// open, 41xyy paper out (x the tray, yy the paper). The printer is offline in all but the
// first.
struct StateCode {
    State state;
    int code;
    std::string_view display;
    bool online;
};

constexpr std::array kStateCodes = {
    StateCode{State::Ready, 10001, "READY", true},
    StateCode{State::PaperOut, 41101, "LOAD TRAY 1", false},
    StateCode{State::CoverOpen, 40021, "PRINTER OPEN", false},
    StateCode{State::Paused, 10002, "PAUSED", false},
    StateCode{State::Offline, 10002, "OFFLINE", false},
};

const StateCode& CodeOf(State state) {
    for (const StateCode& row : kStateCodes) {
        if (row.state == state) {
            return row;
        }
    }
    return kStateCodes.front();
}

// "@PJL INFO STATUS" or "@PJL USTATUS DEVICE" and the state's lines, ended by a form feed.
std::string DeviceStatus(std::string_view heading, State state) {
    const StateCode& code = CodeOf(state);
    return "@PJL " + std::string(heading) + "\r\nCODE=" + std::to_string(code.code) +
           "\r\nDISPLAY=\"" + std::string(code.display) +
           "\"\r\nONLINE=" + (code.online ? "TRUE" : "FALSE") + "\r\n\f";
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

// A command's words: keywords in upper case, "=" on its own, a quoted value without its
// quotes and as written.
struct Word {
    std::string text;
    bool quoted = false;
};

std::vector<Word> Words(std::string_view line) {
    std::vector<Word> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const char c = line[at];
        if (c == ' ' || c == '\t') {
            ++at;
        } else if (c == '=') {
            words.push_back({"=", false});
            ++at;
        } else if (c == '"') {
            const std::size_t end = std::min(line.find('"', at + 1), line.size());
            words.push_back({std::string(line.substr(at + 1, end - at - 1)), true});
            at = end + 1;
        } else {
            const std::size_t end = std::min(line.find_first_of(" \t=\"", at), line.size());
            words.push_back({Upper(line.substr(at, end - at)), false});
            at = end;
        }
    }
    return words;
}

// The value of KEY = VALUE among the words after the first, if given.
std::optional<std::string> Option(const std::vector<Word>& words, std::string_view key) {
    for (std::size_t i = 1; i + 2 < words.size(); ++i) {
        if (!words[i].quoted && words[i].text == key && words[i + 1].text == "=" &&
            !words[i + 1].quoted) {
            return words[i + 2].text;
        }
    }
    return std::nullopt;
}

bool IsWord(const std::vector<Word>& words, std::size_t index, std::string_view text) {
    return index < words.size() && !words[index].quoted && words[index].text == text;
}

} // namespace

void PjlDialect::Take(std::string_view bytes, Printer& printer) {
    for (const char c : bytes) {
        if (c == kFormFeed && !jobs_.empty()) {
            jobs_.back().pages = std::min(jobs_.back().pages + 1, kPageLimit);
        }
        if (c == kUniversalExit[exitMatched_]) {
            if (++exitMatched_ == kUniversalExit.size()) {
                // The exit ends the line before it: its other bytes are on the line now.
                exitMatched_ = 0;
                const std::size_t before = kUniversalExit.size() - 1;
                if (!longLine_ && line_.size() >= before) {
                    EndLine(std::string_view(line_).substr(0, line_.size() - before), printer);
                }
                line_.clear();
                longLine_ = false;
                continue;
            }
        } else {
            exitMatched_ = c == kUniversalExit.front() ? 1 : 0;
        }
        if (c == '\n') {
            if (!longLine_) {
                EndLine(line_, printer);
            }
            line_.clear();
            longLine_ = false;
        } else if (!longLine_) {
            line_ += c;
            if (line_.size() > kLineLimit) {
                line_.clear();
                longLine_ = true;
            }
        }
    }
}

void PjlDialect::EndLine(std::string_view line, Printer& printer) {
    line = Trimmed(line);
    if (line.size() >= 4 && Upper(line.substr(0, 4)) == "@PJL" &&
        (line.size() == 4 || line[4] == ' ' || line[4] == '\t')) {
        Command(Trimmed(line.substr(4)), printer);
    }
}

void PjlDialect::Command(std::string_view line, Printer& printer) {
    const std::vector<Word> words = Words(line);
    if (words.empty() || words[0].quoted) {
        return;
    }
    const std::string& command = words[0].text;
    if (command == "INFO" && IsWord(words, 1, "STATUS")) {
        printer.Reply(DeviceStatus("INFO STATUS", printer.StateNow()));
    } else if (command == "USTATUS" && IsWord(words, 2, "=") && words.size() == 4) {
        // ON and VERBOSE report, OFF does not.
        const bool on = words[3].text != "OFF";
        if (IsWord(words, 1, "DEVICE")) {
            deviceStatus_ = on;
        } else if (IsWord(words, 1, "JOB")) {
            jobStatus_ = on;
        }
    } else if (command == "USTATUSOFF") {
        deviceStatus_ = false;
        jobStatus_ = false;
    } else if (command == "ECHO") {
        printer.Reply("@PJL " + std::string(line) + "\r\n\f");
    } else if (command == "JOB") {
        if (jobs_.size() == kJobDepth) {
            ++deeperJobs_;
            return;
        }
        jobs_.push_back({Option(words, "NAME").value_or(std::string()), 0});
        if (jobStatus_) {
            printer.Reply("@PJL USTATUS JOB\r\nSTART\r\nNAME=\"" + jobs_.back().name + "\"\r\n\f");
        }
    } else if (command == "EOJ") {
        if (deeperJobs_ > 0) {
            --deeperJobs_;
            return;
        }
        if (jobs_.empty()) {
            return; // an end without a job: nothing to confirm
        }
        HeldWork work;
        work.labels = 0;
        work.name = Option(words, "NAME").value_or(jobs_.back().name);
        work.pages = std::max(jobs_.back().pages, 1L);
        jobs_.pop_back();
        printer.Hold(std::move(work));
    }
}

std::string PjlDialect::StateChanged(State state) {
    return deviceStatus_ ? DeviceStatus("USTATUS DEVICE", state) : std::string();
}

std::string PjlDialect::Printed(const HeldWork& work) {
    if (!jobStatus_) {
        return {};
    }
    return "@PJL USTATUS JOB\r\nEND\r\nNAME=\"" + work.name +
           "\"\r\nPAGES=" + std::to_string(work.pages) + "\r\n\f";
}
