#pragma once

#include "printing/backends/device/file_descriptor.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal standing in for a serial line: the job uses its terminal end (`path`),
// the test plays the printer on the other. The test keeps the terminal end open too, to
// look at the line's settings.
struct PtyLine {
    FileDescriptor printer, terminal;
    std::string path;
    PtyLine() {
        int printerEnd = -1, terminalEnd = -1;
        EXPECT_EQ(::openpty(&printerEnd, &terminalEnd, nullptr, nullptr, nullptr), 0);
        printer = FileDescriptor(printerEnd);
        terminal = FileDescriptor(terminalEnd);
        path = ::ttyname(terminal.Get());
    }
    termios Settings() const {
        termios settings{};
        EXPECT_EQ(::tcgetattr(terminal.Get(), &settings), 0);
        return settings;
    }
};
