#pragma once

#include <string>
#include <string_view>
#include <vector>

// JSON text written piece by piece, commas and quoting taken care of. Strings are byte
// strings from anywhere and always come out as valid JSON: well-formed UTF-8 passes as it
// is, except what must or should be escaped (the quote, the backslash, the C0 and C1
// control characters, DEL, and U+2028 and U+2029, which end a line in JavaScript); a byte
// that is no part of well-formed UTF-8 becomes the character of the same number (its
// Latin-1 reading, \u00XX), so no byte is lost and a printer's Latin-1 text reads right.
class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The name of the object's next member.
    JsonWriter& Key(std::string_view name);
    JsonWriter& String(std::string_view bytes);
    JsonWriter& Strings(const std::vector<std::string>& list);
    JsonWriter& Bool(bool value);
    JsonWriter& Number(long long value);

    const std::string& Text() const { return text_; }

    // The bytes as one JSON string, quotes included.
    static std::string Quoted(std::string_view bytes);

private:
    // A comma before every value of an array or member of an object but the first.
    void BeforeValue();

    std::string text_;
    // For each array or object open, whether it has a value yet.
    std::vector<bool> filled_;
    bool afterKey_ = false;
};
