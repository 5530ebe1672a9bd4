#include "printing/talkback/status_words.h"

#include <array>

namespace {

using Condition = StatusReport::Condition;

struct ConditionWord {
    Condition condition;
    std::string_view word;
};

constexpr std::array<ConditionWord, 9> kWords{{
    {Condition::PaperOut, "paper out"},
    {Condition::PaperNearEnd, "paper near end"},
    {Condition::CoverOpen, "cover open"},
    {Condition::Paused, "paused"},
    {Condition::Offline, "offline"},
    {Condition::RibbonOut, "ribbon out"},
    {Condition::Jammed, "jammed"},
    {Condition::CutterError, "cutter error"},
    {Condition::Error, "error"},
}};

} // namespace

std::string_view StatusWords::Word(Condition condition, PrinterLanguage language) {
    if (condition == Condition::CoverOpen && language == PrinterLanguage::Zpl) {
        return "head open";
    }
    for (const ConditionWord& row : kWords) {
        if (row.condition == condition) {
            return row.word;
        }
    }
    return "error";
}

std::string StatusWords::Describe(const StatusReport& state, PrinterLanguage language) {
    std::string words;
    for (const Condition condition : state.conditions) {
        // Paper near its end says nothing more once it is out.
        if (condition == Condition::PaperNearEnd && state.Has(Condition::PaperOut)) {
            continue;
        }
        words.append(words.empty() ? "" : ", ").append(Word(condition, language));
    }
    if (words.empty()) {
        words = "ready";
    }
    if (!state.display.empty()) {
        words.append(" (\"").append(state.display).append("\")");
    }
    return words;
}
