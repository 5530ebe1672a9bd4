#pragma once

#include <string>
#include <vector>

// What a printer says of itself, in whichever language it was asked: the conditions it
// reports and the text on its own display, where it gives one. Parsers of the printers'
// replies fill it; the command line and the windows word it.
struct StatusReport {
    // One condition a printer may report; a printer may report several at once.
    enum class Condition {
        PaperOut,
        PaperNearEnd,
        CoverOpen, // a receipt printer's cover, a label printer's head
        Paused,
        Offline,
        RibbonOut,
        Jammed,
        CutterError,
        Error, // any other error the printer reports, its words in `display`
    };

    std::vector<Condition> conditions;
    // The printer's own words (a PJL DISPLAY line), empty when it gives none.
    std::string display;

    bool Ready() const { return conditions.empty(); }
    // Whether a condition keeps the printer from printing: all of them but paper near end,
    // with which it prints on.
    bool Blocked() const {
        for (const Condition c : conditions) {
            if (c != Condition::PaperNearEnd) {
                return true;
            }
        }
        return false;
    }
    bool Has(Condition condition) const {
        for (const Condition c : conditions) {
            if (c == condition) {
                return true;
            }
        }
        return false;
    }
    void Add(Condition condition) {
        if (!Has(condition)) {
            conditions.push_back(condition);
        }
    }
    // Another source's report taken in: its conditions added, its words where there are
    // none yet.
    void Merge(const StatusReport& other) {
        for (const Condition c : other.conditions) {
            Add(c);
        }
        if (display.empty()) {
            display = other.display;
        }
    }
};
