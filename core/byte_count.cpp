#include "core/byte_count.h"

#include <array>
#include <charconv>

namespace modTools {

std::string ByteCountText(std::uint64_t bytes, std::string_view byteWord) {
    if (bytes < 1024) {
        return std::to_string(bytes) + ' ' + std::string(byteWord);
    }
    constexpr std::array<const char*, 4> Units = {"KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    // Up to the unit in which the value stays below 1024 once rounded to one decimal.
    while (value >= 1023.95 && unit + 1 < Units.size()) {
        value /= 1024;
        ++unit;
    }
    std::array<char, 32> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                   std::chars_format::fixed, 1)
                         .ptr;
    return std::string(digits.data(), end) + ' ' + Units[unit];
}

} // namespace modTools
