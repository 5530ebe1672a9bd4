#include "printing/backends/device/saved_terminal_settings.h"

#include <cerrno>

SavedTerminalSettings::SavedTerminalSettings(int descriptor, const termios& settings)
    : descriptor_(descriptor), settings_(settings) {}

SavedTerminalSettings::~SavedTerminalSettings() {
    // At once, not after the output has drained: a job that ends well has drained it
    // already, and one that failed has had its output dropped.
    while (tcsetattr(descriptor_, TCSANOW, &settings_) != 0 && errno == EINTR) {
    }
}
