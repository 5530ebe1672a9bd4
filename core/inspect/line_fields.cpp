#include "core/inspect/line_fields.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

// A value is shown up to this many bytes: a field's text may be long.
constexpr std::size_t ShownValue = 40;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        end = end == std::string_view::npos ? text.size() : end;
        words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// The word a value's index names in "mode=overwrite/or/xor", or the value itself.
std::string ValueWord(std::string_view name, const std::string& value, std::string_view& bare) {
    const std::size_t equals = name.find('=');
    bare = name.substr(0, equals);
    long long index = 0;
    if (equals == std::string_view::npos || !LineFields::ToNumber(value, index) || index < 0) {
        return value.substr(0, ShownValue) + (value.size() > ShownValue ? "..." : "");
    }
    std::string_view words = name.substr(equals + 1);
    for (long long i = 0; i < index; ++i) {
        const std::size_t slash = words.find('/');
        if (slash == std::string_view::npos) {
            return value;
        }
        words.remove_prefix(slash + 1);
    }
    return std::string(words.substr(0, words.find('/')));
}

} // namespace

namespace LineFields {

bool EscapedQuote(std::string_view text, std::size_t quote) {
    return quote >= 2 && text.substr(quote - 2, 2) == "\\[";
}

std::vector<std::string> Split(std::string_view text, char separator, std::size_t limit) {
    std::vector<std::string> fields;
    const std::string trimmed = Trimmed(text);
    if (trimmed.empty()) {
        return fields;
    }
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i <= trimmed.size(); ++i) {
        if (i < trimmed.size() && trimmed[i] == '"' && !EscapedQuote(trimmed, i)) {
            quoted = !quoted;
        }
        const bool last = fields.size() + 1 == limit;
        if (i == trimmed.size() || (trimmed[i] == separator && !quoted && !last)) {
            // Blanks between words count as one separator.
            if (separator != ' ' || i > start) {
                fields.push_back(Trimmed(std::string_view(trimmed).substr(start, i - start)));
            }
            start = i + 1;
        }
    }
    return fields;
}

std::string Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return std::string(text);
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper;
}

namespace {

// A number too long to read is past every range; only its first digits are shown.
constexpr std::size_t ShownDigits = 12;

bool IsLongNumber(std::string_view text) {
    const std::string_view digits = !text.empty() && text[0] == '-' ? text.substr(1) : text;
    return digits.size() > ShownDigits &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

bool ToNumber(std::string_view text, long long& number) {
    if (text.empty() || text.size() > 12) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

std::string Describe(std::string_view meaning, std::string_view names,
                     const std::vector<std::string>& values) {
    std::string text(meaning);
    const std::vector<std::string_view> words = Words(names);
    const bool endsInText = !words.empty() && (words.back() == "content" ||
                                               words.back() == "text" || words.back() == "data");
    for (std::size_t i = 0; i < values.size() && !words.empty(); ++i) {
        const bool lastValue = endsInText && i + 1 == values.size() && values.size() < words.size();
        const std::size_t named = lastValue ? words.size() - 1 : i;
        if (named >= words.size() || values[i].empty()) {
            continue;
        }
        std::string_view bare;
        const std::string value = ValueWord(words[named], values[i], bare);
        // Appended piece by piece: GCC 12's -Wrestrict sees a false overlap otherwise.
        text.append(1, ' ').append(bare).append(1, '=').append(value);
    }
    return text;
}

std::string RangeProblem(const std::vector<std::string>& values, long long min, long long max) {
    for (const std::string& value : values) {
        long long number = 0;
        if (ToNumber(value, number) ? number < min || number > max : IsLongNumber(value)) {
            return "parameter out of range: " + value.substr(0, ShownDigits) +
                   (value.size() > ShownDigits ? "..." : "");
        }
    }
    return {};
}

} // namespace LineFields
