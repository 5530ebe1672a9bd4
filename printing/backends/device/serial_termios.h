#pragma once

#include "printing/address/serial_settings.h"

#include <optional>
#include <string>
#include <termios.h>

// How the options of a serial: address become a terminal's settings.
namespace SerialTermios {

// The system's speed constant for a rate in baud, or none where it has none.
std::optional<speed_t> Speed(unsigned baud);

// The rates that Speed knows, in words: "50, 75, 110, ..., 4000000".
std::string SupportedRates();

// Why the line can't be set as asked on this system, or empty when it can.
std::string Refusal(const SerialSettings& settings);

// The line's settings for a job: `current` made raw (bytes pass as they are, no echo, no
// flow control unless asked), with the speed, character size, parity, stop bits and flow
// control of `settings`, which Refusal must have accepted.
termios ForJob(const termios& current, const SerialSettings& settings);

// What of `wanted` the driver did not take, as read back into `taken`: "7 data bits and
// even parity"; empty when it took all. A driver may ignore what its line can't do.
std::string NotTaken(const termios& wanted, const termios& taken, const SerialSettings& settings);

} // namespace SerialTermios
