#include "printing/capture/esc_pos_dialect.h"

#include <array>

namespace {

using State = Emulation::State;

constexpr char kDle = '\x10';
constexpr char kGs = '\x1d';
constexpr std::string_view kRealTimeStatus = "\x10\x04";
constexpr std::string_view kAutomaticStatus = "\x1d\x61";

// The bytes of each state as Epson's ESC/POS command reference lays them out. A real-time
// reply (DLE EOT n) is 0xx1xx10 plus the state's bits: n = 1 bit 3 offline; n = 2 bit 2
// cover open, bit 5 printing stopped at the paper end; n = 4 bits 2-3 the near-end sensor
// and 5-6 the end sensor without paper. The automatic status block (GS a) is 0xx1xx00 and
// three 0xx0xxxx bytes: first byte bit 3 offline and bit 5 cover open, third byte bits 0-1
// near end and 2-3 paper end. A printer without paper or with its cover open is offline
// too; ESC/POS has no pause, so a paused printer is one offline without a cause.
struct StateBytes {
    State state;
    std::array<unsigned char, 4> realTime; // n = 1 to 4
    std::array<unsigned char, 4> automatic;
};

constexpr unsigned char kRealTimeFixed = 0x12;
constexpr unsigned char kAutomaticFixed = 0x10;

constexpr std::array kStateBytes = {
    StateBytes{State::Ready, {0x00, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00}},
    StateBytes{State::PaperOut, {0x08, 0x20, 0x00, 0x6C}, {0x08, 0x00, 0x0F, 0x00}},
    StateBytes{State::CoverOpen, {0x08, 0x04, 0x00, 0x00}, {0x28, 0x00, 0x00, 0x00}},
    StateBytes{State::Paused, {0x08, 0x00, 0x00, 0x00}, {0x08, 0x00, 0x00, 0x00}},
    StateBytes{State::Offline, {0x08, 0x00, 0x00, 0x00}, {0x08, 0x00, 0x00, 0x00}},
};

const StateBytes& BytesOf(State state) {
    for (const StateBytes& row : kStateBytes) {
        if (row.state == state) {
            return row;
        }
    }
    return kStateBytes.front();
}

std::string AutomaticBlock(State state) {
    const StateBytes& row = BytesOf(state);
    std::string block;
    for (std::size_t i = 0; i < row.automatic.size(); ++i) {
        block += static_cast<char>(row.automatic[i] | (i == 0 ? kAutomaticFixed : 0));
    }
    return block;
}

} // namespace

void EscPosDialect::Take(std::string_view bytes, Printer& printer) {
    for (const char c : bytes) {
        if (prefix_.size() == 2) {
            Command(c, printer);
            prefix_.clear();
        } else if (prefix_.size() == 1 &&
                   (prefix_ + c == kRealTimeStatus || prefix_ + c == kAutomaticStatus)) {
            prefix_ += c;
        } else {
            prefix_.clear();
            if (c == kDle || c == kGs) {
                prefix_ += c;
            }
        }
    }
}

void EscPosDialect::Command(char n, Printer& printer) {
    if (prefix_ == kAutomaticStatus) {
        automaticStatus_ = n != 0;
        if (automaticStatus_) {
            printer.Reply(AutomaticBlock(printer.StateNow()));
        }
        return;
    }
    if (n >= 1 && n <= 4) {
        const unsigned char bits =
            BytesOf(printer.StateNow()).realTime[static_cast<std::size_t>(n - 1)];
        printer.Reply(std::string(1, static_cast<char>(bits | kRealTimeFixed)));
    }
}

std::string EscPosDialect::StateChanged(State state) {
    return automaticStatus_ ? AutomaticBlock(state) : std::string();
}
