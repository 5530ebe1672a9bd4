#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A printer's port as the system shows it (a USB printer is /dev/usb/lpN on Linux), asked
// the two things a printer port answers by itself, apart from any job: what the printer is
// and how it stands. Asking sends the printer nothing.
class PrinterPort {
public:
    // One answer: the value, or the system's error number and its words when the request
    // failed.
    template <typename Value> struct Answer {
        std::optional<Value> value;
        int error = 0;
        std::string words;
    };

    virtual ~PrinterPort() = default;

    // The IEEE 1284 device ID as the port returns it: a two-byte big-endian length that
    // counts itself, then the text (DeviceId::FromPort reads it).
    virtual Answer<std::string> DeviceIdBytes() = 0;
    // The port's status byte: paper empty, selected, no fault (PortStatus reads it).
    virtual Answer<std::uint8_t> StatusBits() = 0;
};
