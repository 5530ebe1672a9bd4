#include "core/notation.h"

#include "core/control_tokens.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

// The byte a token stands for, when text (with its brackets) is one of the 34 tokens.
std::optional<unsigned char> ByteOfToken(std::string_view text) {
    for (const ControlTokens::Token& token : ControlTokens::All) {
        if (token.text == text) {
            return token.byte;
        }
    }
    return std::nullopt;
}

// The token starting at the '<' at `at`, if one does. Tokens are four or five bytes and
// hold no bracket inside, so there is only one candidate: the one whose fourth or fifth
// byte is the closing '>'.
std::optional<ControlTokens::Token> TokenAt(std::string_view text, std::size_t at) {
    for (std::size_t length : {std::size_t{4}, std::size_t{5}}) {
        if (at + length <= text.size() && text[at + length - 1] == '>') {
            const std::string_view candidate = text.substr(at, length);
            if (const auto byte = ByteOfToken(candidate)) {
                return ControlTokens::Token{*byte, candidate};
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

constexpr std::array<bool, 256> NeedsToken = [] {
    std::array<bool, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        table[byte] = !ControlTokens::ByByte[byte].empty();
    }
    return table;
}();

bool IsTokenByte(char c) {
    return NeedsToken[static_cast<unsigned char>(c)];
}

} // namespace

namespace modTools {

std::string BytesToNotation(std::string_view bytes) {
    std::size_t size = bytes.size();
    for (char c : bytes) {
        if (IsTokenByte(c)) {
            size += ControlTokens::ByByte[static_cast<unsigned char>(c)].size() - 1;
        }
    }
    std::string out;
    out.reserve(size);
    // Plain bytes are copied in runs; only the bytes that need a token are looked at singly.
    const char* position = bytes.data();
    const char* const end = position + bytes.size();
    while (position != end) {
        const char* const tokenByte = std::find_if(position, end, IsTokenByte);
        out.append(position, tokenByte);
        if (tokenByte == end) {
            break;
        }
        out.append(ControlTokens::ByByte[static_cast<unsigned char>(*tokenByte)]);
        position = tokenByte + 1;
    }
    return out;
}

std::string NotationToBytes(std::string_view notation) {
    std::string out;
    out.reserve(notation.size());
    std::size_t position = 0;
    while (position < notation.size()) {
        const void* found =
            std::memchr(notation.data() + position, '<', notation.size() - position);
        const std::size_t open =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - notation.data())
                  : notation.size();
        out.append(notation, position, open - position);
        if (open == notation.size()) {
            break;
        }
        if (const auto token = TokenAt(notation, open)) {
            out.push_back(static_cast<char>(token->byte));
            position = open + token->text.size();
        } else {
            out.push_back('<');
            position = open + 1;
        }
    }
    return out;
}

} // namespace modTools
