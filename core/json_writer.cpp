#include "core/json_writer.h"

#include "core/code_pages/utf8.h"

#include <optional>

namespace {

void AppendUnicodeEscape(std::string& out, char32_t character) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) {
        out += kDigits[(character >> shift) & 0xf];
    }
}

// The short escapes JSON has; 0 for a character that has none.
char ShortEscape(char32_t character) {
    switch (character) {
    case '"':
        return '"';
    case '\\':
        return '\\';
    case '\b':
        return 'b';
    case '\f':
        return 'f';
    case '\n':
        return 'n';
    case '\r':
        return 'r';
    case '\t':
        return 't';
    default:
        return 0;
    }
}

bool NeedsEscape(char32_t character) {
    return character < 0x20 || (character >= 0x7f && character < 0xa0) || character == 0x2028 ||
           character == 0x2029;
}

} // namespace

std::string JsonWriter::Quoted(std::string_view bytes) {
    std::string out = "\"";
    out.reserve(bytes.size() + 2);
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::optional<Utf8::Decoded> decoded = Utf8::DecodeAt(bytes, at);
        if (!decoded) {
            AppendUnicodeEscape(out, static_cast<unsigned char>(bytes[at]));
            ++at;
            continue;
        }
        if (const char escape = ShortEscape(decoded->character)) {
            out += '\\';
            out += escape;
        } else if (NeedsEscape(decoded->character)) {
            AppendUnicodeEscape(out, decoded->character);
        } else {
            out.append(bytes, at, decoded->length);
        }
        at += decoded->length;
    }
    return out + '"';
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!filled_.empty()) {
        if (filled_.back()) {
            text_ += ',';
        }
        filled_.back() = true;
    }
}

JsonWriter& JsonWriter::BeginObject() {
    BeforeValue();
    text_ += '{';
    filled_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    text_ += '}';
    filled_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    BeforeValue();
    text_ += '[';
    filled_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    text_ += ']';
    filled_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    BeforeValue();
    text_ += Quoted(name);
    text_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view bytes) {
    BeforeValue();
    text_ += Quoted(bytes);
    return *this;
}

JsonWriter& JsonWriter::Strings(const std::vector<std::string>& list) {
    BeginArray();
    for (const std::string& item : list) {
        String(item);
    }
    return EndArray();
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Number(long long value) {
    BeforeValue();
    text_ += std::to_string(value);
    return *this;
}
