#pragma once

// How a serial line is set for a job: the options of a `serial:` address.
struct SerialSettings {
    enum class Parity { None, Even, Odd };
    enum class Flow { None, Software, Hardware, DtrDsr };

    unsigned baud = 9600;
    unsigned bits = 8;
    unsigned stopBits = 1;
    Parity parity = Parity::None;
    Flow flow = Flow::None;

    bool operator==(const SerialSettings&) const = default;
};
