#include "core/code_pages/code_page.h"
#include "core/code_pages/code_page_text.h"
#include "core/code_pages/utf8.h"

#include <gtest/gtest.h>

namespace {

const std::vector<const CodePage*> AllPages = [] {
    std::vector<const CodePage*> pages = {&CodePage::Windows1252(), &CodePage::Oem437(),
                                          &CodePage::Oem850()};
    for (const char* name :
         {"cp852", "cp858", "cp860", "cp863", "cp865", "cp866", "cp737", "cp775", "cp855", "cp861",
          "cp862", "cp1250", "cp1251", "cp1254", "iso-8859-2", "iso-8859-15"}) {
        pages.push_back(CodePage::Known(name));
    }
    return pages;
}();

// Every byte has one character and that character leads back to the byte, so no text
// loses or alters a byte on its way through a code page; ASCII is itself in all of them.
TEST(CodePageTest, EveryByteRoundTripsAndAsciiIsItself) {
    for (const CodePage* page : AllPages) {
        ASSERT_NE(page, nullptr);
        for (int byte = 0; byte < 256; ++byte) {
            const char16_t character = page->CharacterOf(static_cast<unsigned char>(byte));
            EXPECT_EQ(page->ByteOf(character), byte) << page->Name() << " byte " << byte;
            if (byte < 128) {
                EXPECT_EQ(character, byte) << page->Name();
            }
        }
    }
}

TEST(CodePageTest, KnownCharactersAndNames) {
    struct Point {
        const char* name;
        unsigned char byte;
        char16_t character;
    };
    for (const Point& point :
         std::vector<Point>{{"cp1252", 0x80, u'\u20AC'},       {"CP1252", 0x81, u'\u0081'},
                            {"windows-1252", 0x9D, u'\u009D'}, {"cp1252", 0x9F, u'\u0178'},
                            {"cp1252", 0xE9, u'\u00E9'},       {"cp437", 0xB3, u'\u2502'},
                            {"ibm437", 0xC4, u'\u2500'},       {"cp437", 0xE3, u'\u03C0'},
                            {"cp437", 0x01, u'\u0001'},        {"cp437", 0x7F, u'\u007F'},
                            {"cp850", 0x9B, u'\u00F8'},        {"IBM850", 0xD5, u'\u0131'},
                            {"cp850", 0xF2, u'\u2017'},        {"cp850", 0xB5, u'\u00C1'},
                            {"cp858", 0xD5, u'\u20AC'},        {"cp852", 0xA4, u'\u0104'},
                            {"cp852", 0xA5, u'\u0105'},        {"cp860", 0x84, u'\u00E3'},
                            {"cp863", 0x84, u'\u00C2'},        {"cp865", 0x9B, u'\u00F8'},
                            {"cp865", 0xAF, u'\u00A4'},        {"cp866", 0x80, u'\u0410'},
                            {"cp866", 0xE0, u'\u0440'},        {"cp737", 0x80, u'\u0391'},
                            {"cp775", 0x80, u'\u0106'},        {"cp855", 0x80, u'\u0452'},
                            {"cp861", 0x8B, u'\u00D0'},        {"cp862", 0x80, u'\u05D0'},
                            {"cp1250", 0x8A, u'\u0160'},       {"cp1250", 0x81, u'\u0081'},
                            {"cp1251", 0xC0, u'\u0410'},       {"cp1251", 0x88, u'\u20AC'},
                            {"cp1254", 0xD0, u'\u011E'},       {"iso-8859-2", 0xA1, u'\u0104'},
                            {"iso-8859-15", 0xA4, u'\u20AC'}}) {
        const CodePage* page = CodePage::Known(point.name);
        ASSERT_NE(page, nullptr) << point.name;
        EXPECT_EQ(page->CharacterOf(point.byte), point.character) << point.name;
    }
    EXPECT_EQ(CodePage::Find("cp1252"), &CodePage::Windows1252());
    EXPECT_EQ(CodePage::Find("utf-8"), nullptr);
    EXPECT_EQ(CodePage::Find("cp12"), nullptr);
    // A character outside the page, a surrogate half and a code point past 16 bits.
    EXPECT_FALSE(CodePage::Windows1252().ByteOf(U'\u0080'));
    EXPECT_FALSE(CodePage::Oem437().ByteOf(U'\u00C1'));
    EXPECT_FALSE(CodePage::Oem850().ByteOf(U'\xD800'));
    EXPECT_FALSE(CodePage::Oem850().ByteOf(U'\U000120AC'));
}

TEST(CodePageTextTest, Utf8TextBecomesOneBytePerCharacterAndBack) {
    EXPECT_EQ(CodePageText::FromUtf8("A\u00E9\u20AC<CR>", &CodePage::Windows1252()),
              "A\xE9\x80<CR>");
    EXPECT_EQ(CodePageText::FromUtf8("\u2502\u2500", &CodePage::Oem437()), "\xB3\xC4");
    EXPECT_EQ(CodePageText::ToUtf8("\xB3\xC4", CodePage::Oem437()), "\u2502\u2500");
    EXPECT_EQ(CodePageText::ToUtf8("x\x81\x9B", CodePage::Oem850()), "x\u00FC\u00F8");
    // Without a code page UTF-8 stays as it is, four-byte characters included.
    EXPECT_EQ(CodePageText::FromUtf8("\u00E9\U0001F600", nullptr), "\u00E9\U0001F600");
    for (const CodePage* page : AllPages) {
        std::string bytes;
        for (int byte = 0; byte < 256; ++byte) {
            bytes.push_back(static_cast<char>(byte));
        }
        EXPECT_EQ(CodePageText::FromUtf8(CodePageText::ToUtf8(bytes, *page), page), bytes)
            << page->Name();
    }
}

TEST(CodePageTextTest, TheFirstUnconvertibleCharacterIsNamedWithItsLineAndColumn) {
    const std::vector<std::tuple<std::string, const CodePage*, std::string>> cases = {
        {"ab\u2713", &CodePage::Windows1252(),
         "line 1, column 3: U+2713 \"\u2713\" has no byte in cp1252"},
        {"<ESC>\n\u00E9\U0001F600", &CodePage::Oem437(),
         "line 2, column 2: U+1F600 \"\U0001F600\" has no byte in cp437"},
        {"\u0080", &CodePage::Windows1252(), "line 1, column 1: U+0080 has no byte in cp1252"},
        {"ok\n\n\xE9t\xC3\xA9", &CodePage::Windows1252(),
         "line 3, column 1: byte 0xE9 is not UTF-8 text"},
        {"x\xC3", nullptr, "line 1, column 2: byte 0xC3 is not UTF-8 text"},
        {"\xC0\xAF", nullptr, "line 1, column 1: byte 0xC0 is not UTF-8 text"},     // overlong
        {"\xED\xA0\x80", nullptr, "line 1, column 1: byte 0xED is not UTF-8 text"}, // surrogate
        {"\xF4\x90\x80\x80", nullptr, "line 1, column 1: byte 0xF4 is not UTF-8 text"},
    };
    for (const auto& [text, page, message] : cases) {
        try {
            CodePageText::FromUtf8(text, page);
            ADD_FAILURE() << "converted: " << message;
        } catch (const CodePageText::ConversionError& error) {
            EXPECT_EQ(error.what(), message);
        }
    }
}

} // namespace
