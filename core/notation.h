#pragma once

#include <string>
#include <string_view>

// Conversions between raw printer bytes and the token notation of the code box.
// Both take any byte string and cannot fail; both return a new string.
namespace modTools {

// Every control byte 0 to 31, DEL (127) and 255 becomes its token ("<ESC>", "<DEL>",
// "<NPC>"); every other byte is copied as it is.
std::string BytesToNotation(std::string_view bytes);

// Every exact, case-sensitive occurrence of one of the 34 tokens becomes its byte; all
// other bytes, raw control bytes included, are copied as they are.
std::string NotationToBytes(std::string_view notation);

} // namespace modTools
