#include "printing/talkback/zpl_status.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

using Condition = StatusReport::Condition;
using Verdict = ZplStatus::Verdict;

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';
constexpr char kFrameMarks[] = {kStx, kEtx, '\0'};
// No line of either reply comes near this; a longer one is not a reply, and bounds what a
// talkative peer makes us keep.
constexpr std::size_t kLongestFrame = 512;

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Cuts the reply into its STX...ETX frames. Line ends between frames are skipped; anything
// else outside a frame, an STX inside one or an overlong frame is not a ZPL reply.
struct Frames {
    Verdict verdict = Verdict::Incomplete;
    std::vector<std::string_view> bodies;
};

Frames SplitFrames(std::string_view reply, std::size_t wanted) {
    Frames frames;
    std::size_t at = 0;
    while (frames.bodies.size() < wanted) {
        while (at < reply.size() && IsLineEnd(reply[at])) {
            ++at;
        }
        if (at == reply.size()) {
            return frames;
        }
        if (reply[at] != kStx) {
            return {Verdict::NotZplReply, {}};
        }
        const std::size_t end = reply.find_first_of(std::string_view{kFrameMarks}, at + 1);
        if (end != std::string_view::npos && reply[end] == kStx) {
            return {Verdict::NotZplReply, {}};
        }
        const std::size_t length = (end == std::string_view::npos ? reply.size() : end) - at - 1;
        if (length > kLongestFrame) {
            return {Verdict::NotZplReply, {}};
        }
        if (end == std::string_view::npos) {
            return frames;
        }
        frames.bodies.push_back(reply.substr(at + 1, length));
        at = end + 1;
    }
    frames.verdict = Verdict::Complete;
    return frames;
}

std::vector<std::string_view> SplitFields(std::string_view body) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t comma = body.find(','); comma != std::string_view::npos;
         comma = body.find(',', start)) {
        fields.push_back(body.substr(start, comma - start));
        start = comma + 1;
    }
    fields.push_back(body.substr(start));
    return fields;
}

std::optional<long> Decimal(std::string_view field) {
    if (field.empty() || field.size() > 9) {
        return std::nullopt;
    }
    long value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// ~HS, Zebra's ZPL II Programming Guide, "~HS Host Status Return": string 1
// <STX>aaa,b,c,dddd,eee,f,g,h,iii,j,k,l<ETX><CR><LF>, string 2
// <STX>mmm,n,o,p,q,r,s,t,uuuuuuuu,v,www<ETX><CR><LF>, string 3 <STX>xxxx,y<ETX><CR><LF>.
// Frame and field are counted from 0. Newer printers may add fields; the ones read stay put.
constexpr std::array<std::size_t, 3> kHostStatusFieldCounts = {12, 11, 2};

struct FlagField {
    std::size_t frame;
    std::size_t field;
    Condition condition;
    const char* words;
};

// Flags read as conditions ("1" set, "0" clear). Left out: the buffer full, diagnostic mode
// and partial format flags of string 1 (busy, not trouble), and the modes of string 2.
constexpr std::array kHostStatusFlags = {
    FlagField{0, 1, Condition::PaperOut, "paper out"},            // b
    FlagField{0, 2, Condition::Paused, "pause active"},           // c
    FlagField{0, 9, Condition::Error, "configuration data lost"}, // j, corrupt RAM
    FlagField{0, 10, Condition::Error, "under temperature"},      // k
    FlagField{0, 11, Condition::Error, "over temperature"},       // l
    FlagField{1, 2, Condition::CoverOpen, "head in up position"}, // o
    FlagField{1, 3, Condition::RibbonOut, "ribbon out"},          // p
};

struct CountField {
    std::size_t frame;
    std::size_t field;
    long ZplStatus::HostStatus::*count;
};

constexpr std::array kHostStatusCounts = {
    CountField{0, 4, &ZplStatus::HostStatus::formatsInBuffer}, // eee
    CountField{1, 8, &ZplStatus::HostStatus::labelsRemaining}, // uuuuuuuu
};

void AddError(StatusReport& state, Condition condition, const char* words) {
    state.Add(condition);
    if (condition == Condition::Error) {
        if (!state.display.empty()) {
            state.display += "; ";
        }
        state.display += words;
    }
}

// ~HQES, the same guide, "~HQ Host Query", ES: "ERRORS:" and "WARNINGS:" each followed by a
// flag (1 when any is set), the 8 hex digits of group 2 (nibbles 16-9, unused) and the 8 of
// group 1 (nibbles 8-1), whose bits the tables below read. Nibble 5 holds, from its lowest
// bit up, paused, retract function timed out, black mark calibrate error and black mark
// not found.
struct FlagBit {
    std::uint32_t bit;
    Condition condition;
    const char* words;
};

constexpr std::array kErrorBits = {
    FlagBit{0x00000001, Condition::PaperOut, "media out"},
    FlagBit{0x00000002, Condition::RibbonOut, "ribbon out"},
    FlagBit{0x00000004, Condition::CoverOpen, "head open"},
    FlagBit{0x00000008, Condition::CutterError, "cutter fault"},
    FlagBit{0x00000010, Condition::Error, "printhead over temperature"},
    FlagBit{0x00000020, Condition::Error, "motor over temperature"},
    FlagBit{0x00000040, Condition::Error, "bad printhead element"},
    FlagBit{0x00000080, Condition::Error, "printhead detection error"},
    FlagBit{0x00000100, Condition::Error, "invalid firmware configuration"},
    FlagBit{0x00000200, Condition::Error, "printhead thermistor open"},
    FlagBit{0x00001000, Condition::Jammed, "paper jam during retract"},
    FlagBit{0x00002000, Condition::Error, "presenter not running"},
    FlagBit{0x00004000, Condition::Jammed, "paper feed error"},
    FlagBit{0x00008000, Condition::Jammed, "clear paper path failed"},
    FlagBit{0x00010000, Condition::Paused, "paused"},
    FlagBit{0x00020000, Condition::Error, "retract function timed out"},
    FlagBit{0x00040000, Condition::Error, "black mark calibrate error"},
    FlagBit{0x00080000, Condition::Error, "black mark not found"},
};

// Of the warnings only the paper near its end is a condition; the others ask for care
// (calibrate media, clean or replace the printhead) or report a sensor.
constexpr std::array kWarningBits = {
    FlagBit{0x00000008, Condition::PaperNearEnd, "paper-near-end sensor"},
};

std::optional<std::uint32_t> Hex8(std::string_view field) {
    if (field.size() != 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const char c : field) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            return std::nullopt;
        }
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

// The flag and group 1 of the line that starts with `label`; nullopt when there is no such
// line or it is out of form.
struct FlagLine {
    bool flag;
    std::uint32_t group1;
};

std::optional<FlagLine> FindFlagLine(std::string_view body, std::string_view label) {
    std::size_t start = 0;
    while (start <= body.size()) {
        const std::size_t end = std::min(body.find_first_of("\r\n", start), body.size());
        const std::vector<std::string_view> words = Words(body.substr(start, end - start));
        if (!words.empty() && words[0] == label) {
            if (words.size() != 4 || (words[1] != "0" && words[1] != "1") || !Hex8(words[2])) {
                return std::nullopt;
            }
            const std::optional<std::uint32_t> group1 = Hex8(words[3]);
            if (!group1) {
                return std::nullopt;
            }
            return FlagLine{words[1] == "1", *group1};
        }
        start = end + 1;
    }
    return std::nullopt;
}

template <std::size_t N>
void ReadBits(const FlagLine& line, const std::array<FlagBit, N>& bits, StatusReport& state) {
    for (const FlagBit& bit : bits) {
        if ((line.group1 & bit.bit) != 0) {
            AddError(state, bit.condition, bit.words);
        }
    }
}

} // namespace

ZplStatus::HostStatus ZplStatus::ReadHostStatus(std::string_view reply) {
    const Frames frames = SplitFrames(reply, kHostStatusFieldCounts.size());
    if (frames.verdict != Verdict::Complete) {
        return {frames.verdict, {}, 0, 0};
    }
    std::vector<std::vector<std::string_view>> fields;
    for (std::size_t i = 0; i < frames.bodies.size(); ++i) {
        fields.push_back(SplitFields(frames.bodies[i]));
        if (fields.back().size() < kHostStatusFieldCounts[i]) {
            return {Verdict::NotZplReply, {}, 0, 0};
        }
    }
    HostStatus status{Verdict::Complete, {}, 0, 0};
    for (const FlagField& flag : kHostStatusFlags) {
        const std::string_view value = fields[flag.frame][flag.field];
        if (value != "0" && value != "1") {
            return {Verdict::NotZplReply, {}, 0, 0};
        }
        if (value == "1") {
            AddError(status.state, flag.condition, flag.words);
        }
    }
    for (const CountField& count : kHostStatusCounts) {
        const std::optional<long> value = Decimal(fields[count.frame][count.field]);
        if (!value) {
            return {Verdict::NotZplReply, {}, 0, 0};
        }
        status.*count.count = *value;
    }
    return status;
}

ZplStatus::QueryStatus ZplStatus::ReadQueryStatus(std::string_view reply) {
    const Frames frames = SplitFrames(reply, 1);
    if (frames.verdict != Verdict::Complete) {
        return {frames.verdict, {}};
    }
    const std::string_view body = frames.bodies[0];
    const std::optional<FlagLine> errors = FindFlagLine(body, "ERRORS:");
    const std::optional<FlagLine> warnings = FindFlagLine(body, "WARNINGS:");
    if (!errors || !warnings) {
        return {Verdict::NotZplReply, {}};
    }
    QueryStatus status{Verdict::Complete, {}};
    ReadBits(*errors, kErrorBits, status.state);
    if (errors->flag && status.state.Ready()) {
        AddError(status.state, Condition::Error, "error flag set");
    }
    ReadBits(*warnings, kWarningBits, status.state);
    return status;
}
