#include "printing/talkback/port_status.h"

#include <array>

namespace {

using Condition = StatusReport::Condition;

// One status line: the condition it shows while it is at the level given. The USB printer
// class keeps the IEEE 1284 parallel port's lines in their places: bit 5 PError (paper
// empty, high), bit 4 Select (high while the printer is online), bit 3 nFault (low on an
// error). Bits 7 and 6 (Busy and nAck on a parallel port, reserved on USB) and bits 0 to 2
// (reserved) say nothing of how the printer stands.
struct LineMeaning {
    std::uint8_t bit;
    bool whenSet;
    Condition condition;
};
constexpr std::array kLines = {
    LineMeaning{0x20, true, Condition::PaperOut},
    LineMeaning{0x10, false, Condition::Offline},
    LineMeaning{0x08, false, Condition::Error},
};

} // namespace

StatusReport PortStatus::Read(std::uint8_t bits) {
    StatusReport state;
    for (const LineMeaning& line : kLines) {
        if (((bits & line.bit) != 0) == line.whenSet) {
            state.Add(line.condition);
        }
    }
    return state;
}
