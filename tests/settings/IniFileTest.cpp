#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/IniFile.h"
#include "storage/Cp932.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

using Items = std::vector<std::string>;

struct SplitCase {
    std::string value;
    Items items;
    const char* why;
};

TEST(CommaList, Split) {
    const SplitCase cases[] = {
        {"", {}, "an empty value has no items"},
        {"a,b,c", {"a", "b", "c"}, "plain items"},
        {"  a , b", {"a", "b"}, "blanks around items and commas are skipped"},
        {"a,,b", {"a", "", "b"}, "consecutive commas give an empty item"},
        {"a,", {"a"}, "a trailing comma gives no item"},
        {"0,,,", {"0", "", ""}, "the KEYWORD default with its padding"},
        {"a b", {"a", "b"}, "an unquoted blank separates items"},
        {"a\tb", {"a", "b"}, "so does any byte of 32 or less"},
        {"\"a b\",c", {"a b", "c"}, "quotes keep blanks"},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}, "a doubled quote stands for one"},
        {"\"a,b", {"a,b"}, "a missing closing quote runs to the end"},
        {"\"ab\"cd,e", {"ab", "cd", "e"}, "bytes after a closing quote start a new item"},
        {"\"\"", {""}, "two quotes are one empty item"},
        {std::string("a,b\0c", 5), {"a", "b"}, "a NUL ends the value"},
        {Sjis("表,ソ\"x"), {Sjis("表"), Sjis("ソ\"x")}, "second bytes 0x5C are not looked at"},
        {Sjis("\"私的メモ　または　内緒日記\""),
         {Sjis("私的メモ　または　内緒日記")},
         "full-width spaces are double-byte characters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(SplitCommaList(c.value), c.items);
    }
}

struct JoinCase {
    Items items;
    std::string value;
    const char* why;
};

TEST(CommaList, Join) {
    const JoinCase cases[] = {
        {{}, "", "no items"},
        {{""}, "\"\"", "one empty item is two quotes"},
        {{"a", "b"}, "a,b", "no trailing comma"},
        {{"a b", "c,d", "e\"f"}, "\"a b\",\"c,d\",\"e\"\"f\"", "quoted where needed"},
        {{"a", ""}, "a,", "an empty item among others"},
        {{Sjis("ＭＳ Ｐゴシック"), "128"}, Sjis("\"ＭＳ Ｐゴシック\",128"), "the default face"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(JoinCommaList(c.items), c.value);
    }
}

TEST(CommaList, JoinThenSplitRoundTrips) {
    const Items lists[] = {{"a b", "c,d", "e\"f", Sjis("表")}, {""}, {"x", "\t", "y"}};
    for (const Items& items : lists) {
        EXPECT_EQ(SplitCommaList(JoinCommaList(items)), items);
    }
}

TEST(SettingToInteger, ErrorCases) {
    EXPECT_EQ(SettingToInteger("42"), 42);
    EXPECT_EQ(SettingToInteger("-7"), -7);
    EXPECT_EQ(SettingToInteger("$FF"), 255);
    EXPECT_EQ(SettingToInteger("$80000008"), static_cast<int32_t>(0x80000008u));
    const char* const bad[] = {
        "",      // empty is not a number
        "yes",   // a word
        " 1",    // blanks are not skipped
        "1.5",   // not an integer
        "$",     // no hexadecimal digits
        "0x10",  // only "$" selects hexadecimal
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        try {
            SettingToInteger(text);
            ADD_FAILURE() << "accepted";
        } catch (const VelmoraError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(text) + Sjis("' は整数ではありません"));
        }
    }
}

class InitFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = folder_.Path();
        path_ = dir_ + "/Velmora.ini";
    }
    std::string Read() const {
        std::string contents;
        EXPECT_TRUE(ReadWholeFile(path_, contents));
        return contents;
    }

    TTestFolder folder_;
    std::string dir_;
    std::string path_;
};

TEST_F(InitFileTest, LinesNamesAndValues) {
    static const char text[] = "a=1\rB=x=y\nweathermark=0\r\n[junk]\r\n\r\nC=\0D=4";
    SafeWriteFile(path_, std::string(text, sizeof text - 1));
    const TInitFile file(path_);
    EXPECT_EQ(file.Lines(), (Items{"a=1", "B=x=y", "weathermark=0", "[junk]", "", "C="}));
    EXPECT_EQ(file.ReadString("C", "none"), "");
    EXPECT_EQ(file.ReadString("A"), "1");
    EXPECT_EQ(file.ReadString("b"), "x=y");
    EXPECT_EQ(file.ReadString("[junk]", "none"), "none");
    EXPECT_EQ(file.ReadString("D", "none"), "none");
    EXPECT_FALSE(file.ReadBool("WEATHERMARK", true));
    EXPECT_TRUE(file.ReadBool("A", false));  // true exactly for "1"
    EXPECT_FALSE(file.ReadBool("B", true));  // any other present value is false
    EXPECT_FALSE(file.ReadBool("C", true));  // also an empty one
    EXPECT_TRUE(file.ReadBool("ABSENT", true));
    EXPECT_EQ(file.ReadInteger("A", 9), 1);
    EXPECT_EQ(file.ReadInteger("MISSING", 9), 9);
    EXPECT_THROW(file.ReadInteger("B", 9), VelmoraError);
}

TEST_F(InitFileTest, WritesReplaceRemoveSortAndKeepUnknownLines) {
    SafeWriteFile(path_, "zeta=old\r\nno equals sign\r\nLogDir=/x\r\nmid=1\r\n");
    TInitFile file(path_);
    EXPECT_FALSE(file.Modified());
    file.WriteString("ZETA", "new");
    file.WriteString("LOGDIR", "");
    file.WriteString("ALPHA", "a");
    file.WriteInteger("NUM", -3);
    file.WriteBool("FLAG", true);
    EXPECT_TRUE(file.Modified());
    file.Sort();
    file.UpdateFile();
    EXPECT_EQ(Read(), "ALPHA=a\r\nFLAG=1\r\nmid=1\r\nno equals sign\r\nNUM=-3\r\nZETA=new\r\n");
}

TEST_F(InitFileTest, Fonts) {
    SafeWriteFile(path_,
                  "FIVE=Arial,0,$0000FF,3,12\r\n"
                  "SIX=Arial, 0, $0000FF, 3, 12, 2\r\n"
                  "BAD=Arial,0,red,3,12,2\r\n");
    const TInitFile file(path_);
    TFontDesc font;
    font.Name = "Before";
    font.Style = FontUnderline;
    file.ReadFont("FIVE", font);
    EXPECT_EQ(font.Name, "Before");
    file.ReadFont("ABSENT", font);
    EXPECT_EQ(font.Name, "Before");
    EXPECT_THROW(file.ReadFont("BAD", font), VelmoraError);
    EXPECT_EQ(font.Name, "Before");

    file.ReadFont("SIX", font);
    EXPECT_EQ(font.Name, "Arial");
    EXPECT_EQ(font.Charset, 0);
    EXPECT_EQ(font.Color, 0x0000FFu);
    EXPECT_EQ(font.Style, FontBold | FontItalic | FontUnderline);  // bits are added
    EXPECT_EQ(font.Size, 12);
    EXPECT_EQ(font.Pitch, 2);

    TInitFile out(path_);
    font.Style = FontBold | FontItalic;
    out.WriteFont("SIX", font);
    EXPECT_EQ(out.ReadString("SIX"), "Arial,0,$0000FF,3,12,2");
    font.Color = 0x80000008;
    font.Name = Sjis("ＭＳ 明朝");
    out.WriteFont("SIX", font);
    EXPECT_EQ(out.ReadString("SIX"), Sjis("\"ＭＳ 明朝\",0,$80000008,3,12,2"));
}

TEST_F(InitFileTest, WindowInfo) {
    SafeWriteFile(path_, "MAX=2,10,20,30,40\r\nODD=7,1,2,3,4\r\nFOUR=0,1,2,3\r\nBAD=0,1,x,3,4\r\n");
    const TInitFile file(path_);
    TWindowRect rect{5, 5, 5, 5};
    uint8_t state = WindowMinimized;
    file.ReadWindowInfo("MAX", rect, state);
    EXPECT_EQ(state, WindowMaximized);
    EXPECT_EQ(rect.Left, 10);
    EXPECT_EQ(rect.Top, 20);
    EXPECT_EQ(rect.Right, 30);
    EXPECT_EQ(rect.Bottom, 40);
    file.ReadWindowInfo("ODD", rect, state);
    EXPECT_EQ(state, WindowNormal);
    EXPECT_EQ(rect.Left, 1);
    EXPECT_THROW(file.ReadWindowInfo("BAD", rect, state), VelmoraError);
    file.ReadWindowInfo("FOUR", rect, state);
    EXPECT_EQ(state, WindowNormal);
    EXPECT_EQ(rect.Left | rect.Top | rect.Right | rect.Bottom, 0);

    TInitFile out(path_);
    out.WriteWindowInfo("W", TWindowRect{-8, -8, 1928, 1088}, WindowMaximized);
    EXPECT_EQ(out.ReadString("W"), "2,-8,-8,1928,1088");
}

}  // namespace
