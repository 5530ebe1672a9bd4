#pragma once

#include "printing/capture/emulation.h"

#include <string>

// The emulated printer's state as capture --state-file gives it: the first word of a file
// ("paper-out"), read again each time it is asked, so that the state changes while capture
// runs when the file is rewritten. A file that is missing, is no regular file, cannot be
// read, is empty or names no state keeps the last state.
class PrinterStateFile {
public:
    PrinterStateFile(std::string path, Emulation::State initial);

    Emulation::State Read();

private:
    std::string path_;
    Emulation::State last_;
};
