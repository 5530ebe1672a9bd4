#pragma once

#include <string>
#include <string_view>
#include <vector>

// The pieces of a line command in the label languages that write one command a line
// (TSPL, CPCL): its fields, their numbers, and the meaning they make with a row's names.
namespace LineFields {

// The fields between separators, each trimmed of blanks; a separator inside double quotes
// is part of its field. At most `limit` fields: the last one keeps the rest of the text
// (CPCL's TEXT ends with words of its own).
// Whether the '"' at `quote` is TSPL's escaped quote, \["], which stands inside a quoted
// text without ending it.
bool EscapedQuote(std::string_view text, std::size_t quote);

std::vector<std::string> Split(std::string_view text, char separator, std::size_t limit = 64);

std::string Trimmed(std::string_view text);
std::string Upper(std::string_view text);

// A whole, plain decimal number ("-12", "300"), or false for "4 mm", "1.5", "".
bool ToNumber(std::string_view text, long long& number);

// "draw box x=10 y=20 ...": the row's meaning and each value after its name. `names` are
// space-separated; a name "mode=overwrite/or/xor" shows the values 0, 1, 2 as those words.
// Where fewer values than names are given and the last name is "content", "text" or
// "data", the last value takes it: the parameters a row leaves optional come before its text.
std::string Describe(std::string_view meaning, std::string_view names,
                     const std::vector<std::string>& values);

// The first numeric value outside [min, max], as "parameter out of range: V", or empty.
std::string RangeProblem(const std::vector<std::string>& values, long long min, long long max);

} // namespace LineFields
