#include "printing/talkback/pjl_status.h"

#include "core/inspect/universal_exit.h"
#include "printing/talkback/reply_text.h"

#include <array>
#include <charconv>
#include <optional>
#include <utility>

namespace {

using Condition = StatusReport::Condition;
using Reply = PjlStatus::Reply;

constexpr std::string_view kLineEnd = "\r\n";
constexpr char kFormFeed = '\f';
// PJL takes job names of up to 80 characters.
constexpr std::size_t kNameLimit = 80;

// What a status code says of the printer. The first matching row wins, so single codes come
// before the ranges that hold them. Codes the printer gives while it goes on printing (its
// warnings, its background trays, its answers to our own commands) add no condition: ONLINE
// and the display still tell the rest.
struct CodeMeaning {
    int first;
    int last;
    std::optional<Condition> condition;
};
constexpr std::array kCodes = {
    CodeMeaning{10001, 10001, std::nullopt},         // ready, online
    CodeMeaning{10002, 10002, Condition::Offline},   // ready, offline
    CodeMeaning{10000, 10999, std::nullopt},         // warming up, toner low, processing...
    CodeMeaning{11000, 12999, std::nullopt},         // a tray empty or open, another in use
    CodeMeaning{15000, 15999, Condition::Error},     // output bin full: the printer stops
    CodeMeaning{20000, 27999, std::nullopt},         // PJL parser and semantic errors
    CodeMeaning{30000, 30999, std::nullopt},         // auto-continuable conditions
    CodeMeaning{32000, 32999, std::nullopt},         // PJL file system errors
    CodeMeaning{35000, 35999, std::nullopt},         // operator attention; still printing
    CodeMeaning{40021, 40021, Condition::CoverOpen}, // printer open
    CodeMeaning{40022, 40022, Condition::Jammed},    // paper jam
    CodeMeaning{40079, 40079, Condition::Offline},   // taken offline at the panel
    CodeMeaning{40000, 40999, Condition::Error},     // operator intervention required
    CodeMeaning{41000, 41999, Condition::PaperOut},  // paper out, no other source (41xyy)
    CodeMeaning{42000, 42999, Condition::Jammed},    // jams (42xyy)
    CodeMeaning{43000, 43999, Condition::Error},     // external paper handling (43xyy)
    CodeMeaning{44000, 44999, Condition::Jammed},    // jams of later printers (44xyy)
    CodeMeaning{50000, 50999, Condition::Error},     // hardware errors
    CodeMeaning{55000, 55999, Condition::Error},     // personality errors
};
constexpr int kPaperOutFirst = 41000;
constexpr int kPaperOutLast = 41999;

std::optional<Condition> ConditionOf(int code) {
    for (const CodeMeaning& row : kCodes) {
        if (code >= row.first && code <= row.last) {
            return row.condition;
        }
    }
    return std::nullopt;
}

std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::optional<int> Number(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> Lines(std::string_view frame) {
    std::vector<std::string_view> lines;
    while (!frame.empty()) {
        const std::size_t end = frame.find_first_of("\r\n");
        const std::string_view line = Trimmed(frame.substr(0, end));
        if (!line.empty()) {
            lines.push_back(line);
        }
        frame = end == std::string_view::npos ? std::string_view{} : frame.substr(end + 1);
    }
    return lines;
}

// The words of "@PJL USTATUS DEVICE" after "@PJL", single-spaced, upper case.
std::string Heading(std::string_view line) {
    std::string heading;
    for (const char c : Trimmed(line.substr(4))) {
        const bool blank = c == ' ' || c == '\t';
        if (blank && (heading.empty() || heading.back() == ' ')) {
            continue;
        }
        heading += blank ? ' ' : static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return heading;
}

struct Field {
    std::string_view key;
    std::string_view value;
};

// "KEY=VALUE", spaces allowed around the equals sign; a line without one is a bare word.
Field FieldOf(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return {line, {}};
    }
    return {Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1))};
}

std::optional<Reply> DeviceReply(const std::vector<std::string_view>& lines) {
    Reply reply;
    bool online = true;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const Field field = FieldOf(lines[i]);
        if (field.key == "CODE") {
            reply.code = Number(field.value).value_or(0);
        } else if (field.key == "DISPLAY") {
            reply.state.display = std::string(Unquoted(field.value));
        } else if (field.key == "ONLINE") {
            online = field.value != "FALSE";
        }
    }
    if (reply.code == 0) {
        return std::nullopt; // nothing we could read as a status
    }
    if (const std::optional<Condition> condition = ConditionOf(reply.code)) {
        reply.state.Add(*condition);
    }
    if (reply.code >= kPaperOutFirst && reply.code <= kPaperOutLast) {
        reply.tray = reply.code / 100 % 10;
    }
    if (!online) {
        reply.state.Add(Condition::Offline);
    }
    return reply;
}

std::optional<Reply> JobReply(const std::vector<std::string_view>& lines) {
    std::optional<Reply> reply;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const Field field = FieldOf(lines[i]);
        if (field.key == "START" || field.key == "END") {
            reply.emplace();
            reply->kind = field.key == "START" ? Reply::Kind::JobStarted : Reply::Kind::JobEnded;
        } else if (reply && field.key == "NAME") {
            reply->jobName = std::string(Unquoted(field.value));
        } else if (reply && field.key == "PAGES") {
            reply->pages = Number(field.value).value_or(-1);
        } else if (reply && field.key == "RESULT") {
            reply->result = std::string(field.value);
        }
    }
    return reply;
}

std::optional<Reply> ReplyOf(std::string_view frame) {
    const std::size_t start = frame.find("@PJL");
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    const std::vector<std::string_view> lines = Lines(frame.substr(start));
    const std::string heading = Heading(lines.front());
    if (heading == "INFO STATUS" || heading == "USTATUS DEVICE" || heading == "USTATUS TIMED") {
        return DeviceReply(lines);
    }
    if (heading == "USTATUS JOB") {
        return JobReply(lines);
    }
    return std::nullopt; // an echo, or the answer to another question
}

std::string Command(std::string_view line) {
    return std::string(kUniversalExit) + "@PJL" + std::string(kLineEnd) + std::string(line) +
           std::string(kUniversalExit);
}

} // namespace

std::string PjlStatus::StatusQuery() {
    return Command("@PJL INFO STATUS\r\n");
}

std::string PjlStatus::UnsolicitedOn() {
    return Command("@PJL USTATUS DEVICE = ON\r\n@PJL USTATUS JOB = ON\r\n");
}

std::string PjlStatus::SafeName(std::string_view name) {
    std::string safe;
    for (const char c : name.substr(0, kNameLimit)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"') {
            safe += '\'';
        } else {
            safe += byte < 0x20 || byte == 0x7f ? ' ' : c;
        }
    }
    const bool splitCharacter =
        name.size() > kNameLimit && (static_cast<unsigned char>(name[kNameLimit]) & 0xc0) == 0x80;
    if (splitCharacter) {
        // Not to end inside a UTF-8 character: drop its lead and continuation bytes.
        while (!safe.empty() && (static_cast<unsigned char>(safe.back()) & 0xc0) == 0x80) {
            safe.pop_back();
        }
        if (!safe.empty() && static_cast<unsigned char>(safe.back()) >= 0xc0) {
            safe.pop_back();
        }
    }
    return safe;
}

std::string PjlStatus::JobLine(std::string_view name) {
    return "@PJL JOB NAME = \"" + SafeName(name) + "\"" + std::string(kLineEnd);
}

std::string PjlStatus::EndOfJobLine(std::string_view name) {
    return "@PJL EOJ NAME = \"" + SafeName(name) + "\"" + std::string(kLineEnd);
}

std::string PjlStatus::JobHeader(std::string_view name) {
    return Command("@PJL USTATUS JOB = ON\r\n" + JobLine(name));
}

std::string PjlStatus::JobTrailer(std::string_view name) {
    return std::string(kUniversalExit) + EndOfJobLine(name) + std::string(kUniversalExit);
}

std::vector<PjlStatus::Reply> PjlStatus::Feed(std::string_view bytes) {
    std::vector<Reply> replies;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find(kFormFeed);
        const std::string_view piece = bytes.substr(0, end);
        if (!skippingToFormFeed_) {
            pending_.append(piece.substr(0, kReplyLimit + 1 - pending_.size()));
            if (pending_.size() > kReplyLimit) {
                Reply cut;
                cut.kind = Reply::Kind::Cut;
                replies.push_back(std::move(cut));
                pending_.clear();
                skippingToFormFeed_ = true;
            }
        }
        if (end == std::string_view::npos) {
            break;
        }
        if (!skippingToFormFeed_) {
            if (std::optional<Reply> reply = ReplyOf(pending_)) {
                replies.push_back(std::move(*reply));
            }
        }
        pending_.clear();
        skippingToFormFeed_ = false;
        bytes.remove_prefix(end + 1);
    }
    return replies;
}
