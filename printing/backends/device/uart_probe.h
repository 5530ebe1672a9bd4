#pragma once

#include <string>

// Whether a serial device (ttyS*) has a UART behind it: the kernel makes a ttyS device for
// every port it might have, and those without hardware report their UART as unknown.
// Asked of the driver (TIOCGSERIAL) without waiting on the line; where the device may not
// be opened, of the kernel's description of it (/sys/class/tty/NAME/type). False for
// anything that is no serial port, and on systems other than Linux.
bool HasUart(const std::string& devicePath);
