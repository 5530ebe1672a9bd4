#include "core/inspect/command_match.h"

#include "core/inspect/decoded_command.h"
#include "core/inspect/inspection_summary.h"

#include <algorithm>

namespace {

char Folded(char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

} // namespace

CommandMatch::CommandMatch(std::string_view text) : folded_(text) {
    std::transform(folded_.begin(), folded_.end(), folded_.begin(), Folded);
}

bool CommandMatch::In(std::string_view words) const {
    return std::search(words.begin(), words.end(), folded_.begin(), folded_.end(),
                       [](char word, char wanted) { return Folded(word) == wanted; }) !=
           words.end();
}

// The cheap words first; the tokens are made only for a command the others did not match.
bool CommandMatch::operator()(const DecodedCommand& command) const {
    return In(command.name) || In(command.problem) || In(command.meaning) ||
           In(InspectionSummary::Tokens(command));
}
