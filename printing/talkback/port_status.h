#pragma once

#include "printing/talkback/status_report.h"

#include <cstdint>

// A printer port's status byte, as a USB printer answers GET_PORT_STATUS and a parallel
// port shows its status lines: whether the printer has paper, is online (selected) and
// free of errors. The byte is all there is: no words, no finer cause.
class PortStatus {
public:
    static StatusReport Read(std::uint8_t bits);
};
