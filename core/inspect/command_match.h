#pragma once

#include <string>
#include <string_view>

struct DecodedCommand;

// What a Find looks for in a command: text (UTF-8) in its name, problem, meaning or tokens
// as they are shown, letters of ASCII in any case. Compared as bytes, without a conversion
// for each command, since a Find may go through a hundred million of them.
class CommandMatch {
public:
    explicit CommandMatch(std::string_view text);

    bool operator()(const DecodedCommand& command) const;

private:
    bool In(std::string_view words) const;

    // The text with ASCII letters in lower case.
    std::string folded_;
};
