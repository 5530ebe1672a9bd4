#include "printing/capture/zpl_dialect.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>

namespace {

using State = Emulation::State;

// The flags each state sets, as Zebra's ZPL programming guide lays them out: in ~HS string 1
// b (paper out) and c (pause), in string 2 o (head up); in ~HQES group 1 of the errors
// media out 00000001, head open 00000004, paused 00010000. ZPL knows no offline: an offline
// label printer is a paused one.
struct StateFlags {
    State state;
    bool paperOut;
    bool paused;
    bool headUp;
    std::uint32_t errors;
};

constexpr std::array kStateFlags = {
    StateFlags{State::Ready, false, false, false, 0},
    StateFlags{State::PaperOut, true, false, false, 0x00000001},
    StateFlags{State::CoverOpen, false, false, true, 0x00000004},
    StateFlags{State::Paused, false, true, false, 0x00010000},
    StateFlags{State::Offline, false, true, false, 0x00010000},
};

const StateFlags& FlagsOf(State state) {
    for (const StateFlags& row : kStateFlags) {
        if (row.state == state) {
            return row;
        }
    }
    return kStateFlags.front();
}

// The counts are fields of fixed width; beyond it they stay at the largest they can show.
std::string Digits(long long value, int width) {
    long long largest = 1;
    for (int i = 0; i < width; ++i) {
        largest *= 10;
    }
    std::string text = std::to_string(std::clamp(value, 0LL, largest - 1));
    return std::string(static_cast<std::size_t>(width) - text.size(), '0') + text;
}

std::string Frame(const std::string& body) {
    return "\x02" + body + "\x03\r\n";
}

// ~HS: <STX>aaa,b,c,dddd,eee,f,g,h,iii,j,k,l<ETX><CR><LF>,
// <STX>mmm,n,o,p,q,r,s,t,uuuuuuuu,v,www<ETX><CR><LF>, <STX>xxxx,y<ETX><CR><LF>: 9600 baud
// 8N1, a label 1245 dots long, thermal transfer, tear-off, no password.
std::string HostStatus(State state, long long formats, long long labels, bool partialFormat) {
    const StateFlags& flags = FlagsOf(state);
    const auto flag = [](bool set) { return set ? std::string("1") : std::string("0"); };
    return Frame("030," + flag(flags.paperOut) + "," + flag(flags.paused) + ",1245," +
                 Digits(formats, 3) + ",0,0," + flag(partialFormat) + ",000,0,0,0") +
           Frame("000,0," + flag(flags.headUp) + ",0,1,2,6,0," + Digits(labels, 8) + ",1,000") +
           Frame("1234,0");
}

std::string Hex8(std::uint32_t value) {
    std::array<char, 9> text{};
    std::snprintf(text.data(), text.size(), "%08X", static_cast<unsigned>(value));
    return text.data();
}

// ~HQES: the flag (1 when any is set), group 2 and group 1 of the errors and warnings.
std::string QueryStatus(State state) {
    const std::uint32_t errors = FlagsOf(state).errors;
    return Frame("\r\nPRINTER STATUS\r\n   ERRORS:         " + std::string(errors ? "1" : "0") +
                 " 00000000 " + Hex8(errors) + "\r\n   WARNINGS:       0 00000000 00000000\r\n");
}

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool IsPrefix(char c) {
    return c == '^' || c == '~';
}

// ^PQ takes up to 99,999,999 labels.
constexpr int kQuantityDigits = 8;

} // namespace

void ZplDialect::Take(std::string_view bytes, Printer& printer) {
    for (const char c : bytes) {
        Read(c, printer);
    }
}

void ZplDialect::Read(char c, Printer& printer) {
    if (reading_ == Reading::Quantity) {
        if (c >= '0' && c <= '9' && quantityDigits_ < kQuantityDigits) {
            quantity_ = quantity_ * 10 + (c - '0');
            ++quantityDigits_;
            return;
        }
        reading_ = Reading::Text;
    }
    if (IsPrefix(c)) {
        reading_ = Reading::Code;
        code_.assign(1, c);
        return;
    }
    if (reading_ == Reading::Code) {
        code_ += Upper(c);
        if (code_.size() == 3) {
            Command(printer);
        }
    } else if (reading_ == Reading::Parameter) {
        parameter_ += Upper(c);
        if (parameter_.size() == 2) {
            reading_ = Reading::Text;
            if (parameter_ == "ES") {
                printer.Reply(QueryStatus(printer.StateNow()));
            }
        }
    }
}

void ZplDialect::Command(Printer& printer) {
    reading_ = Reading::Text;
    if (code_ == "~HS") {
        // The state first: a printer just become ready prints what was due.
        const State state = printer.StateNow();
        long long labels = 0;
        for (const HeldWork& work : printer.Held()) {
            labels += work.labels;
        }
        printer.Reply(
            HostStatus(state, static_cast<long long>(printer.Held().size()), labels, inFormat_));
    } else if (code_ == "~HQ") {
        reading_ = Reading::Parameter;
        parameter_.clear();
    } else if (code_ == "^XA") {
        inFormat_ = true;
        quantity_ = 0;
    } else if (code_ == "^PQ" && inFormat_) {
        reading_ = Reading::Quantity;
        quantity_ = 0;
        quantityDigits_ = 0;
    } else if (code_ == "^XZ" && inFormat_) {
        inFormat_ = false;
        HeldWork work;
        work.labels = quantity_ > 0 ? quantity_ : 1;
        printer.Hold(std::move(work));
    }
}
