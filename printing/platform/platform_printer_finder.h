#pragma once

#include "printing/discovery/discovery_options.h"
#include "printing/discovery/printer_finder.h"

#include <memory>

// The search for printers in every place this platform has: on Linux DNS-SD, the USB
// printer ports (/dev/usb/lp*), the serial ports (/dev), the CUPS scheduler's queues; on
// Windows DNS-SD where the system's DNS client has it, and the spooler's queues. The
// options' SNMP network is asked where SNMP is.
std::unique_ptr<PrinterFinder> MakePlatformPrinterFinder(const DiscoveryOptions& options);
