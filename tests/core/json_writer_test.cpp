#include "core/json_writer.h"

#include <gtest/gtest.h>

namespace {

// Bytes from anywhere come out as one valid JSON string: UTF-8 as it is, control characters
// and what JavaScript takes for a line end escaped, a byte that is no UTF-8 read as Latin-1.
TEST(JsonWriterTest, QuotesAnyBytes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", R"("")"},
        {"EPSON TM-T88V", R"("EPSON TM-T88V")"},
        {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"},
        {"a\tb\nc\rd\be\ff", R"("a\tb\nc\rd\be\ff")"},
        {std::string("\x00\x01\x1b[2J\x1f", 7), R"("\u0000\u0001\u001b[2J\u001f")"},
        {"\x7f", R"("\u007f")"},
        {"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x96\xA8",
         "\"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x96\xA8\""},
        // C1 controls and the JavaScript line ends, though well-formed UTF-8.
        {"\xC2\x85\xC2\x9B", R"("\u0085\u009b")"},
        {"\xE2\x80\xA8\xE2\x80\xA9", R"("\u2028\u2029")"},
        // Latin-1, a stray continuation byte, a cut sequence, an overlong form, a surrogate.
        {"Toner l\xFC"
         "er",
         R"("Toner l\u00fcer")"},
        {"\x80", R"("\u0080")"},
        {"\xE2\x82", R"("\u00e2\u0082")"},
        {"\xC0\xAF", R"("\u00c0\u00af")"},
        {"\xED\xA0\x80", R"("\u00ed\u00a0\u0080")"},
        {"\xF4\x90\x80\x80", R"("\u00f4\u0090\u0080\u0080")"},
    };
    for (const auto& [bytes, json] : cases) {
        EXPECT_EQ(JsonWriter::Quoted(bytes), json) << bytes;
    }
}

TEST(JsonWriterTest, SeparatesValuesAndMembers) {
    JsonWriter json;
    json.BeginArray()
        .BeginObject()
        .Key("name")
        .String("a")
        .Key("list")
        .Strings({"x", "y"})
        .Key("empty")
        .Strings({})
        .Key("ok")
        .Bool(true)
        .Key("id")
        .Number(-12)
        .EndObject()
        .BeginObject()
        .EndObject()
        .Bool(false)
        .EndArray();
    EXPECT_EQ(json.Text(),
              R"([{"name":"a","list":["x","y"],"empty":[],"ok":true,"id":-12},{},false])");
}

} // namespace
