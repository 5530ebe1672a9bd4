#pragma once

#include "printing/job/printer_access.h"

#include <memory>

// The printers this platform reaches: the system's queues (CUPS, or winspool on Windows)
// and printers reached by their address, each scheme served by the backend and followed
// by the job monitor its row of the scheme table names.
std::unique_ptr<PrinterAccess> MakePlatformPrinterAccess();
