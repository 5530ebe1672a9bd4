#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace modTools {

// A byte count as a person reads it: below 1 KiB the count and the word given ("512 B",
// "512 bytes"), above it one decimal in the largest unit that keeps the value below 1024
// once rounded ("1.5 KiB", "12.3 MiB", "1.0 GiB"). No locale: the decimal point is a point.
std::string ByteCountText(std::uint64_t bytes, std::string_view byteWord);

} // namespace modTools
