// Any text from outside, made safe to print: what comes out is well-formed UTF-8 without
// control characters that a second pass leaves alone, and printable text that fits comes
// out as it went in.
#include "core/safe_text.h"
#include "tests/fuzz/fuzz_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <optional>
#include <vector>

namespace {

// The characters of well-formed UTF-8, or nothing: written here rather than taken from
// core's decoder, so that one fault in both could not hide itself.
std::optional<std::vector<char32_t>> Characters(std::string_view text) {
    std::vector<char32_t> characters;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
        if ((lead >= 0x80 && lead < 0xc2) || lead > 0xf4 || at + length > text.size()) {
            return std::nullopt;
        }
        char32_t character = length == 1 ? lead : lead & (0x7f >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xc0) != 0x80) {
                return std::nullopt;
            }
            character = (character << 6) | (next & 0x3f);
        }
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (character < smallest[length] || character > 0x10ffff ||
            (character >= 0xd800 && character <= 0xdfff)) {
            return std::nullopt;
        }
        characters.push_back(character);
        at += length;
    }
    return characters;
}

bool IsControl(char32_t character) {
    return character < 0x20 || (character >= 0x7f && character < 0xa0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const auto maxLength = provider.ConsumeIntegralInRange<std::size_t>(0, 300);
    const std::string text = provider.ConsumeRemainingBytesAsString();
    const std::string safe = SafeText(text, maxLength);
    const auto written = Characters(safe);
    Require(written.has_value(), "the safe text is well-formed UTF-8", text);
    for (const char32_t character : *written) {
        Require(!IsControl(character), "the safe text holds no control character", text);
    }
    Require(SafeText(safe, WholeText) == safe, "a second pass changes nothing", text);
    const auto given = Characters(text);
    if (given && std::none_of(given->begin(), given->end(), IsControl) &&
        text.size() <= maxLength) {
        Require(safe == text, "a printable name that fits is kept as it is", text);
    }
    return 0;
}
