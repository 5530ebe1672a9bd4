#pragma once

#include "printing/talkback/status_report.h"

#include <string>

// The conditions of a report by name, then the printer's words after " / " when it gives
// any: one line a table's case can name.
inline std::string Seen(const StatusReport& state) {
    static const char* const names[] = {"PaperOut", "NearEnd", "Cover",  "Paused", "Offline",
                                        "Ribbon",   "Jammed",  "Cutter", "Error"};
    std::string seen;
    for (const StatusReport::Condition c : state.conditions) {
        if (!seen.empty()) {
            seen += ' ';
        }
        seen += names[static_cast<int>(c)];
    }
    return state.display.empty() ? seen : seen + " / " + state.display;
}
