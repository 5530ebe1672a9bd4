#pragma once

#include "core/inspect/command_language.h"

#include <string_view>

// The language a part of a file is in, told from its first bytes (at most WindowSize of
// them). Unknown where the bytes fit no language well enough: better "no language
// recognised" than a confident wrong name.
namespace LanguageSniffer {

inline constexpr std::size_t WindowSize = 512;

// `opening` is the part's first bytes; `whole` says whether they are all of it.
CommandLanguage Sniff(std::string_view opening, bool whole);

// Whether the bytes are only spaces, line ends, form feeds and NULs (padding between
// jobs, which belongs to the part before it).
bool IsPadding(std::string_view bytes);

} // namespace LanguageSniffer
