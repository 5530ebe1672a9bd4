#pragma once

#include "printing/direct/direct_options.h"
#include "printing/spooler.h"

#include <memory>

// The spooler the program and tolvenmark-cli send through: the system's queues (CUPS, or
// winspool on Windows) for a queue name, and for a printer address the spooler made for
// it (socket and LPD over the network, IPP through libcups, file: and serial: devices).
// The options are read anew for each job, so a caller may set them after making the
// spooler; they must outlive it.
std::unique_ptr<Spooler> MakePlatformSpooler(const DirectOptions& options);
