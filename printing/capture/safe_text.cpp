#include "printing/capture/safe_text.h"

namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
    static constexpr char Digits[] = "0123456789abcdef";
    out += "\\x";
    out += Digits[byte >> 4];
    out += Digits[byte & 0x0f];
}

// The length of the well-formed UTF-8 sequence of two or more bytes at the start of
// text, or 0.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead >= 0xc2 && lead <= 0xdf   ? 2
                               : lead >= 0xe0 && lead <= 0xef ? 3
                               : lead >= 0xf0 && lead <= 0xf4 ? 4
                                                              : 0;
    if (length == 0 || text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xc0) != 0x80) {
            return 0;
        }
    }
    return length;
}

bool IsC1(std::string_view sequence) {
    return sequence.size() == 2 && static_cast<unsigned char>(sequence[0]) == 0xc2 &&
           static_cast<unsigned char>(sequence[1]) < 0xa0;
}

} // namespace

std::string SafeText(std::string_view text, std::size_t maxLength) {
    text = text.substr(0, maxLength);
    std::string out;
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text[0]);
        const std::size_t length = byte >= 0x80 ? Utf8SequenceLength(text) : 1;
        const std::string_view sequence = text.substr(0, length == 0 ? 1 : length);
        if (length == 0 || IsC1(sequence) || byte < 0x20 || byte == 0x7f || byte == '\\') {
            for (const char c : sequence) {
                AppendEscaped(out, static_cast<unsigned char>(c));
            }
        } else {
            out += sequence;
        }
        text.remove_prefix(sequence.size());
    }
    return out;
}
