#include "core/notation.h"

#include "core/control_tokens.h"

#include <array>
#include <cstdint>
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

// What each byte becomes, padded to eight bytes so that it can always be stored whole:
// the converter writes eight bytes and moves on by the entry's length, without a branch.
struct Spelling {
    std::array<char, 7> text;
    std::uint8_t length;
};

constexpr std::array<Spelling, 256> Spellings = [] {
    std::array<Spelling, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        table[byte].text[0] = static_cast<char>(byte);
        table[byte].length = 1;
    }
    for (const ControlTokens::Token& token : ControlTokens::All) {
        Spelling& spelling = table[token.byte];
        for (std::size_t i = 0; i < token.text.size(); ++i) {
            spelling.text[i] = token.text[i];
        }
        spelling.length = static_cast<std::uint8_t>(token.text.size());
    }
    return table;
}();

} // namespace

namespace modTools {

std::string BytesToNotation(std::string_view bytes) {
    std::size_t size = 0;
    for (const char c : bytes) {
        size += Spellings[static_cast<unsigned char>(c)].length;
    }
    // Room for the last eight-byte store; cut back to the true size at the end.
    std::string out(size + sizeof(Spelling), '\0');
    char* position = out.data();
    for (const char c : bytes) {
        const Spelling& spelling = Spellings[static_cast<unsigned char>(c)];
        std::memcpy(position, &spelling, sizeof(Spelling));
        position += spelling.length;
    }
    out.resize(size);
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
