#pragma once

#include <termios.h>

// A terminal's settings as they were before a job changed them, put back when the job is
// over, however it ended. The descriptor must stay open until then.
class SavedTerminalSettings {
public:
    SavedTerminalSettings(int descriptor, const termios& settings);
    ~SavedTerminalSettings();
    SavedTerminalSettings(const SavedTerminalSettings&) = delete;
    SavedTerminalSettings& operator=(const SavedTerminalSettings&) = delete;

private:
    int descriptor_;
    termios settings_;
};
