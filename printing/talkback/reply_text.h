#pragma once

#include <string_view>

// The text of a printer's reply without the blanks and line ends around it.
std::string_view Trimmed(std::string_view text);
