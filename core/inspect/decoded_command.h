#pragma once

#include "core/inspect/command_language.h"

#include <cstdint>
#include <string>

// One command of a printer language as the inspection understood it. Plain data, so that
// a list, a viewer or a renderer can keep or walk it without the decoder that made it.
struct DecodedCommand {
    // Where the command begins in the file, and how many bytes it takes (a raster
    // image's data included).
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    CommandLanguage language = CommandLanguage::Unknown;
    // The command's first bytes, at most HeadLimit of them, for the caller to show in the
    // token notation (BytesToNotation). `length` says whether there were more.
    std::string head;
    // What it does in a few words, with its parameters: "cut paper: full cut".
    std::string meaning;
    // What is wrong with it ("truncated: ...", "unknown command"), or empty.
    std::string problem;
    // The name the language gives the command ("GS V", "^FO"), for a search or a renderer.
    std::string name;

    static constexpr std::size_t HeadLimit = 64;
};
