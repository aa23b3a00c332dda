#include "storage/CommaDB.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "storage/Cp932.h"
#include "storage/StrUtils.h"
#include "storage/VelmoraError.h"

namespace {

TEST(ValuesToLine, Kinds) {
    EXPECT_EQ(ValuesToLine({}), "");
    EXPECT_EQ(ValuesToLine({1, "a"}), "1,a,");
    EXPECT_EQ(ValuesToLine({""}), ",");
    EXPECT_EQ(ValuesToLine({-42, int64_t{-9000000000}, true, false, 'x', TFieldValue()}),
              "-42,-9000000000,1,0,x,,");
    EXPECT_EQ(ValuesToLine({1.5, 0.1, 1e20, 1.5e-7, 100.0}), "1.5,0.1,1E20,1.5E-7,100,");
    EXPECT_EQ(ValuesToLine({std::string("a b"), std::string_view("c,d")}), "\"a b\",\"c,d\",");
}

TEST(ValuesToLine, ExampleYearLine) {
    // A day of a year file: 1 January 2003, weather 0, empty Extra and RichText.
    const std::string line =
        ValuesToLine({37622, 0, "", Sjis("晴れの日"), Sjis("朝\r\n夜"), "", Sjis("メモ"), "x\\y"});
    EXPECT_EQ(line, Sjis("37622,0,,晴れの日,朝\\n夜,,メモ,x\\\\y,"));

    TCommaFile reader;
    reader.SetLine(line);
    EXPECT_EQ(reader.GetInteger(), 37622);
    EXPECT_EQ(reader.GetInteger(), 0);
    EXPECT_EQ(reader.GetText(), "");
    EXPECT_EQ(reader.GetText(), Sjis("晴れの日"));
    EXPECT_EQ(reader.GetText(), Sjis("朝\r\n夜"));
    EXPECT_EQ(reader.GetText(), "");
    EXPECT_EQ(reader.GetText(), Sjis("メモ"));
    EXPECT_EQ(reader.GetText(), "x\\y");
    EXPECT_EQ(reader.GetText(), "");
}

// Texts pieced together from the bytes the line format treats specially; what comes back is the
// text with CR removed and every LF as CR LF (lone line breaks are not kept apart).
TEST(CommaFile, RoundTripPiecedTexts) {
    const std::string pieces[] = {"a",        " ",        ",",       "\"",       "\\",
                                  "\t",       "\r\n",     "\n",      "\r",       "\x95\x5C",
                                  "\x88\x9F", "\x82\xA0", "\xB1",    "\x81\x22", "\xE0\x2C",
                                  "n",        "$",        "\xFC\x5C"};
    uint32_t seed = 12345;
    const auto next = [&seed] { return (seed = seed * 1103515245 + 12345) >> 16; };
    std::vector<std::string> texts;
    std::vector<TFieldValue> values;
    for (int t = 0; t < 400; ++t) {
        std::string text;
        for (uint32_t n = next() % 12; n > 0; --n) {
            text += pieces[next() % std::size(pieces)];
        }
        texts.push_back(text);
        values.push_back(text);
    }
    TCommaFile reader;
    reader.SetLine(ValuesToLine(values));
    for (const std::string& text : texts) {
        std::string expected;
        for (size_t i = 0; i < text.size(); ++i) {
            if (IsLeadByte(text[i])) {
                expected.append(text, i++, 2);
            } else if (text[i] == '\n') {
                expected += "\r\n";
            } else if (text[i] != '\r') {
                expected.push_back(text[i]);
            }
        }
        ASSERT_EQ(reader.GetText(), expected);
    }
}

TEST(CommaFile, GetFieldParsing) {
    struct Case {
        std::string line;
        std::vector<std::string> fields;
        const char* why;
    };
    const Case cases[] = {
        {"a,b,", {"a", "b", ""}, "plain fields; past the end gives empty"},
        {"  a , b", {"a ", "b"}, "leading blanks skipped, trailing kept"},
        {"\"a,b\",c", {"a,b", "c"}, "comma inside quotes"},
        {"\"a\"\"b\",", {"a\"b"}, "doubled quote inside quotes"},
        {"\"a\"xy,z", {"axy", "z"}, "bytes after the closing quote appended"},
        {"a\"b,c", {"a\"b", "c"}, "quote inside an unquoted field is text"},
        {"\"abc", {"abc", ""}, "unterminated quotes end at the line end"},
        {"\x95\x5C,x", {"\x95\x5C", "x"}, "0x5C second byte"},
        {"\"\x95\"\",x", {"\x95\",x"}, "a lead byte never takes a quote along"},
        {"ab\x95,x", {"ab\x95", "x"}, "a lead byte never takes the comma along"},
        {"ab\x95", {"ab\x95"}, "lead byte at the line end counts as one byte"},
        {"a\\,b", {"a\\", "b"}, "escapes are kept by GetField"},
        {"", {"", ""}, "empty line"},
    };
    for (const Case& c : cases) {
        TCommaFile reader;
        reader.SetLine(c.line);
        for (const std::string& field : c.fields) {
            EXPECT_EQ(reader.GetField(), field) << c.why;
        }
        EXPECT_EQ(reader.Line(), c.line) << "reading never changes the line";
    }
}

// A field kept raw and decoded later must give what GetText gives at once, and leave the cursor
// where GetText leaves it.
TEST(CommaFile, RawFieldDecodesAsGetText) {
    const struct {
        std::string line;
        std::string raw;  // the first field as it stands
    } cases[] = {
        {"a\\nb,x", "a\\nb"},
        {"  \"a b\\\\\",x", "\"a b\\\\\""},
        {"\"a\"\"b\",x", "\"a\"\"b\""},
        {"\"a\"x\\ty,z", "\"a\"x\\ty"},
        {"\"\",x", "\"\""},
        {"\\,x", "\\"},
        {"\"\\\",x", "\"\\\""},
        {"\x95\x5C\\n,x", "\x95\x5C\\n"},
        {"ab\x95,x", "ab\x95"},
        {"\"\x95\",x", "\"\x95\""},
        {"\"cut \\n", "\"cut \\n"},
        {",x", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TCommaFile raw;
        raw.SetLine(c.line);
        TCommaFile text;
        text.SetLine(c.line);
        const std::string_view field = raw.GetRawField();
        EXPECT_EQ(field, c.raw);
        EXPECT_EQ(DecodeRawField(field), text.GetText());
        EXPECT_EQ(raw.FieldCut(), text.FieldCut());
        EXPECT_EQ(raw.GetText(), text.GetText()) << "the next field";
    }
}

TEST(CommaFile, NoLineSet) {
    TCommaFile reader;
    EXPECT_EQ(reader.PeekChar(), 0);
    EXPECT_EQ(reader.GetField(), "");
    EXPECT_EQ(reader.GetInteger(), 0);
}

TEST(CommaFile, PeekChar) {
    TCommaFile reader;
    reader.SetLine("  ;x");
    EXPECT_EQ(reader.PeekChar(), ';');
    EXPECT_EQ(reader.PeekChar(), ';');
    EXPECT_EQ(reader.GetString(), ";x");
    EXPECT_EQ(reader.PeekChar(), 0);
}

TEST(CommaFile, GetInteger) {
    struct Case {
        const char* line;
        int32_t value;
        const char* why;
    };
    const Case cases[] = {
        {"12", 12, "decimal"},
        {"-5", -5, "negative"},
        {"+7", 7, "plus sign"},
        {"", 0, "empty field"},
        {"$1F", 31, "hexadecimal"},
        {"$ff", 255, "lower-case hexadecimal"},
        {"2147483648", INT32_MIN, "64-bit value cut to its low 32 bits"},
        {"4294967297", 1, "64-bit value cut to its low 32 bits"},
        {"-9223372036854775808", 0, "lowest 64-bit value"},
        {"$FFFFFFFFFFFFFFFF", -1, "16 hex digits"},
    };
    for (const Case& c : cases) {
        TCommaFile reader;
        reader.SetLine(c.line);
        EXPECT_EQ(reader.GetInteger(), c.value) << c.why;
    }
}

TEST(CommaFile, GetIntegerErrorCases) {
    const char* bad[] = {
        "abc",                  // no digits
        "12 ",                  // trailing blank of an unquoted field stays in it
        "1.5",                  // not an integer
        "-",                    // sign alone
        "$",                    // hex prefix alone
        "9223372036854775808",  // beyond 64 bits
        "$10000000000000000",   // beyond 64 bits
        "0x10",                 // only "$" selects hexadecimal
    };
    for (const char* field : bad) {
        TCommaFile reader;
        reader.SetLine(std::string(field) + ",9");
        try {
            reader.GetInteger();
            ADD_FAILURE() << field << " read as an integer";
        } catch (const VelmoraError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(field) + Sjis("' は整数ではありません"));
        }
        EXPECT_EQ(reader.GetInteger(), 9) << "the cursor moved past the bad field";
    }
}

TEST(CommaFile, GetIntegerAbove) {
    TCommaFile reader;
    reader.SetLine("0,-5,,12,");
    EXPECT_EQ(reader.GetIntegerAbove(0, 7), 7);
    EXPECT_EQ(reader.GetIntegerAbove(0, 7), 7);
    EXPECT_EQ(reader.GetIntegerAbove(0, 7), 7);
    EXPECT_EQ(reader.GetIntegerAbove(0, 7), 12);
}

TEST(TextReader, LineEnds) {
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
        const char* why;
    };
    const Case cases[] = {
        {"", {}, "empty file: no line"},
        {"a\r\nb\r\n", {"a", "b"}, "CR LF ends lines"},
        {"a\r\nb", {"a", "b"}, "last line without line end"},
        {"a\rb\r", {"a", "b"}, "CR alone ends a line"},
        {"a\nb\r\n", {"a", "b"}, "LF alone ends a line, as editors and git leave it"},
        {"a\n\nb\n", {"a", "", "b"}, "LF LF: an empty line between"},
        {"a\n\r\nb", {"a", "", "b"}, "LF CR LF: an empty line between"},
        {"\r\n\r\n", {"", ""}, "empty lines"},
        {"a\r\r\nb", {"a", "", "b"}, "CR CR LF: an empty line between"},
        {"a\r\n\x1A\r\n \t\x1A\n", {"a"}, "0x1A with only filler after it ends the file"},
        {"a \x1A", {"a "}, "blanks before the end mark are the line's"},
        {"a\r\n\x1A"
         "b\r\n",
         {"a",
          "\x1A"
          "b"},
         "0x1A with a line after it is a byte of the text"},
        {"ab\x1A"
         "c\r\nd\x1A",
         {"ab\x1A"
          "c",
          "d"},
         "0x1A inside a line is a byte of it; the last one ends the file"},
    };
    for (const Case& c : cases) {
        TTextReader reader(c.bytes);
        TCommaFile line;
        std::vector<std::string> lines;
        while (line.ReadLine(reader)) {
            lines.emplace_back(line.Line());
        }
        EXPECT_EQ(lines, c.lines) << c.why;
        EXPECT_EQ(reader.LineNumber(), static_cast<int>(c.lines.size())) << c.why;
    }
}

}  // namespace

namespace {

// Typed texts pieced at random from awkward parts go through the codec and one comma line, two
// fields side by side, and come back as typed.
TEST(CommaFile, TypedTextsSurviveCodecAndLine) {
    const char* const parts[] = {
        "a", " ",  ",",  "\"", "\\",    "\t",     "\r\n",   "表",     "ソ",     "ｱ",      "😀",
        "&", "#x", "26", ";",  "1F600", "\uF781", "\uF7B1", "\uF780", "\uFFFD", "\uE000",
    };
    std::mt19937 random(20261207);
    std::uniform_int_distribution<size_t> pick(0, std::size(parts) - 1);
    std::uniform_int_distribution<int> length(0, 8);
    const auto typedText = [&] {
        std::string text;
        for (int n = length(random); n > 0; --n) {
            text += parts[pick(random)];
        }
        return text;
    };
    for (int round = 0; round < 2000; ++round) {
        const std::string first = typedText();
        const std::string second = typedText();
        TCommaFile reader;
        reader.SetLine(ValuesToLine({Utf8ToCp932(first), Utf8ToCp932(second), 7}));
        ASSERT_EQ(Cp932ToUtf8(reader.GetText()), first) << reader.Line();
        ASSERT_EQ(Cp932ToUtf8(reader.GetText()), second) << reader.Line();
        ASSERT_EQ(reader.GetInteger(), 7) << reader.Line();
    }
}

}  // namespace
