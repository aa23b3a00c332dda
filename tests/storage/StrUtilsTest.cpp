#include "storage/StrUtils.h"

#include <gtest/gtest.h>

#include <string>

#include "storage/Cp932.h"

namespace {

TEST(IsLeadByte, RangeEnds) {
    struct Case {
        int byte;
        bool lead;
    };
    // The two lead ranges 0x81..0x9F and 0xE0..0xFC and their neighbours; 0xA1..0xDF are
    // single-byte katakana.
    const Case cases[] = {{0x00, false}, {0x5C, false}, {0x80, false}, {0x81, true},
                          {0x9F, true},  {0xA0, false}, {0xB1, false}, {0xDF, false},
                          {0xE0, true},  {0xFC, true},  {0xFD, false}, {0xFF, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(c.byte)), c.lead) << std::hex << c.byte;
        EXPECT_EQ(IsLeadByte(static_cast<char>(c.byte)), c.lead) << std::hex << c.byte;
    }
}

TEST(TruncateText, Cases) {
    const std::string a23(23, 'a');
    const std::string a40(40, 'a');
    const std::string hyo = "\x95\x5C";  // 表: second byte is the backslash
    // Characters beyond CP932 as the codec keeps them in a field.
    const std::string a22(22, 'a');
    const std::string smile = "&#x1F600;";
    const std::string yoshi = "&#x20BB7;";  // 𠮷
    struct Case {
        std::string text;
        int budget;
        std::string expected;
        const char* why;
    };
    const Case cases[] = {
        {a40, 24, std::string(24, 'a') + "...", "40 single bytes: 24 kept, marked as cut"},
        {" " + std::string(23, 'b') + " ", 25, std::string(23, 'b'),
         "exactly the budget: trimmed, no mark"},
        {a23 + hyo, 24, a23 + hyo + "...", "double-byte char across the limit taken whole"},
        {"ab\r\ncdefg", 24,
         "ab\x81\xF7"
         "cdefg",
         "CR LF shown as the pilcrow"},
        {"ab\r\ncdefg", 5,
         "ab\x81\xF7"
         "c...",
         "CR LF counts two bytes of the budget"},
        {"   abcdef", 5, "ab...", "leading blanks count against the budget, then trimmed"},
        {" a\r\nb ", 0, " a\r\nb ", "budget 0: unchanged"},
        {"abc\x81", 10, "abc\x81", "lead byte as the last byte counts one byte"},
        {std::string("ab\0cd", 5), 10, "ab", "a NUL ends the text"},
        {hyo + hyo, 3, hyo + hyo + "...", "budget 3 over two double-byte chars"},
        {"", 24, "", "empty text"},
        {a22 + smile, 24, a22 + smile, "a reference fits in two bytes of the budget, no mark"},
        {a23 + smile + "b", 24, a23 + smile + "...", "a reference across the limit taken whole"},
        {a23 + yoshi, 24, a23 + yoshi + "...", "a surrogate-pair character taken whole"},
        {hyo + smile + smile + hyo, 6, hyo + smile + smile + "...",
         "double-byte pairs and references cut between characters"},
        {std::string(20, 'a') + "&#x3042;", 24, std::string(20, 'a') + "&#x3...",
         "a reference to a CP932 character is what was typed: cut as letters"},
        {"&#x1F600", 4, "&#x1...", "an unterminated reference is letters"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TruncateText(c.text, c.budget), c.expected) << c.why;
    }
}

TEST(EncodeField, Cases) {
    const std::string hyo = "\x95\x5C";
    struct Case {
        std::string text;
        std::string field;
        const char* why;
    };
    const Case cases[] = {
        {"", "", "empty text, empty field"},
        {"a b", "\"a b\"", "a space quotes the field"},
        {"   ", "\"   \"", "spaces only, quoted"},
        {"a\tb", "a\\tb", "TAB escaped, not quoted"},
        {"C:\\x", "C:\\\\x", "backslash doubled"},
        {"5\"inch", "\"5\"\"inch\"", "inner quote doubled, field quoted"},
        {",x", "\",x\"", "comma quotes the field"},
        {"a\r\nb", "a\\nb", "CR LF becomes \\n"},
        {"a\nb", "a\\nb", "lone LF becomes \\n"},
        {"a\rb", "ab", "lone CR removed"},
        {hyo, hyo, "0x5C second byte is not escaped"},
        {hyo + "\\", hyo + "\\\\", "a real backslash after it is"},
        {"\x81", "\\x81", "lead byte at the end would take the comma along"},
        {"\x81\r\n", "\\x81\\n", "lead byte before a line break: no raw CR in the line"},
        {"\x9F,", "\"\\x9F,\"", "lead byte before a comma"},
        {"\xE0\"", "\"\\xE0\"\"\"", "lead byte before a quote"},
        {"\xFC\t", "\\xFC\\t", "lead byte before a TAB"},
        {"\x81\x81\x81", "\x81\x81\\x81", "a lead byte as second byte pairs, the third is alone"},
        {"\x82 end", "\"\x82 end\"", "lone lead byte before a space: kept as it is"},
        {"\x82"
         "1;",
         "\x82"
         "1;",
         "before a digit: kept as it is"},
        {std::string("a\0b\nc", 5), "a\\x00b\\nc", "NUL kept as an escape"},
        {"a\x1A"
         "b",
         "a\\x1Ab", "0x1A would end the file being read: escaped"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeField(c.text), c.field) << c.why;
    }
}

TEST(FindSingleByte, TellsSecondBytesApart) {
    constexpr size_t npos = std::string_view::npos;
    struct Case {
        std::string text;
        size_t from;
        size_t expected;
        const char* why;
    };
    const Case cases[] = {
        {"ab\\c", 0, 2, "plain backslash"},
        {"\x95\x5C", 0, npos, "second byte of a double-byte character"},
        {"\x95\x5C\\", 0, 2, "a backslash after it"},
        {"\x88\x9F\x88\x5C\\", 0, 4, "second bytes in the lead range pair up"},
        {"\x88\x9F\\", 0, 2, "even run of lead-range bytes before a backslash"},
        {"a\x95\x5C", 1, npos, "search from a character boundary"},
        {"\\a\\", 1, 2, "hits before from are not seen"},
        {"", 0, npos, "empty text"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindSingleByte(c.text, '\\', c.from), c.expected) << c.why;
    }
}

TEST(DecodeText, Cases) {
    struct Case {
        std::string field;
        std::string text;
        const char* why;
    };
    const Case cases[] = {
        {"a\\nb", "a\r\nb", "\\n gives CR LF"},
        {"a\\tb", "a\tb", "\\t gives TAB"},
        {"a\\\\b", "a\\b", "two backslashes give one"},
        {"a\\qb", "aqb", "backslash before another byte is dropped"},
        {"ab\\", "ab", "backslash at the end is dropped"},
        {"\x95\x5Cn", "\x95\x5Cn", "0x5C second byte does not start an escape"},
        {"\"x\"", "\"x\"", "quotes are left alone"},
        {"\\x81\\x00\\x1a", std::string("\x81\0\x1A", 3), "\\x and two hex digits give a byte"},
        {"\\x8", "x8", "\\x without two hex digits is an x"},
        {"\\xG1", "xG1", "\\x before a non-hex digit is an x"},
        {"\\x0A\\x41", "x0Ax41", "only bytes EncodeField escapes so are decoded"},
        {"\\\\x81", "\\x81", "an escaped backslash before x81 stays text"},
        {"\x88\x9F\\n", "\x88\x9F\r\n", "an even run of lead-range bytes before an escape"},
        {"\x88\x9F\x88\\n", "\x88\x9F\x88\\n", "after an odd run the backslash is a second byte"},
        {"\\\x82\\n", "\x82\r\n", "an escaped lead byte takes no byte after it along"},
        {"a\\n" + std::string(100, '\x82') + "\\tb", "a\r\n" + std::string(100, '\x82') + "\tb",
         "long runs between escapes"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeText(c.field), c.text) << c.why;
    }
}

TEST(ReadQuotedField, Cases) {
    const struct {
        std::string text;
        std::string field;
        size_t end;
        const char* why;
    } cases[] = {
        {"\"a b\",c", "a b", 5, "the field ends at its closing quote"},
        {"\"say \"\"hi\"\"\"", "say \"hi\"", 12, "two quotes stand for one"},
        {"\"open", "open", 5, "without a closing quote the field runs to the end"},
        {"\"\x83\x5C\"", "\x83\x5C", 4, "a double-byte character with a 0x5C second byte"},
        {"\"\x83\"x", "\x83", 3, "a lead byte before a quote stands alone; the quote closes"},
        {"\"\"", "", 2, "an empty field"},
    };
    for (const auto& c : cases) {
        size_t pos = 0;
        EXPECT_EQ(ReadQuotedField(c.text, pos), c.field) << c.why;
        EXPECT_EQ(pos, c.end) << c.why;
    }
}

}  // namespace
