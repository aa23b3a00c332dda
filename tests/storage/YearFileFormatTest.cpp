#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/ScrapList.h"
#include "storage/YearFile.h"
#include "support/StoreFolder.h"

namespace {

std::vector<int32_t> Dates(const TYearFileText& text) {
    std::vector<int32_t> dates;
    for (const TDataInfo& rec : text.Records) {
        dates.push_back(rec.Date);
    }
    return dates;
}

}  // namespace

TEST(ParseYearFile, Cases) {
    const struct {
        const char* text;
        std::vector<int32_t> dates;
        std::vector<int> badLines;
        bool lose;
        const char* why;
        std::vector<int> cutLines = {};
    } cases[] = {
        {"37623,0,,b,,,,,\r\n37622,0,,a,,,,,\r\n",
         {37622, 37623},
         {},
         false,
         "days come out in date order"},
        {"37622,0,,a,,,,,\n37623,0,,b,,,,,\r37624,0,,c,,,,,",
         {37622, 37623, 37624},
         {},
         false,
         "LF, CR and no line end at all read alike"},
        {"37622,1,,old,,,,,\r\n37622,2,,new,,,,,\r\n",
         {37622},
         {},
         true,
         "a later line of a day replaces the earlier: a save would lose it"},
        {",0,,no date,,,,,\r\n37622,0,,a,,,,,\r\n",
         {37622},
         {},
         true,
         "a line without a date is passed over"},
        {"37622,0,,a,,,,,,extra\r\n", {37622}, {}, true, "fields past the last are not read"},
        {"\r\n  \r\n37622,0,,a,,,,,\r\n", {37622}, {}, false, "blank lines hold nothing"},
        {"37622,0,,a,,,,,\r\nx,0,,b,,,,,\r\n37624,y,,c,,,,,\r\n",
         {37622},
         {2, 3},
         false,
         "lines whose numbers do not read are listed by number"},
        {"37622,0,,\"a\r\n37623,0,,b,\"quoted\"\"\r\n37624,0,,\"c,\",,,,,\r\n",
         {37622, 37623, 37624},
         {},
         false,
         "lines ending inside a quoted field are cut short",
         {1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const TYearFileText text = ParseYearFile(c.text);
        EXPECT_EQ(Dates(text), c.dates);
        EXPECT_EQ(text.BadLines, c.badLines);
        EXPECT_EQ(text.FirstError.empty(), c.badLines.empty());
        EXPECT_EQ(text.LinesASaveWouldLose, c.lose);
        EXPECT_EQ(text.CutLines, c.cutLines);
        EXPECT_EQ(text.ReadWhole(), c.badLines.empty() && !c.lose && c.cutLines.empty());
    }
}

TEST(ParseYearFile, LaterLineWinsAndPlainBodyShows) {
    const TYearFileText text =
        ParseYearFile("37622,1,,old,,,,,\r\n37622,2,x,new,body,,priv,news\r\n");
    ASSERT_EQ(text.Records.size(), 1u);
    const TDataInfo& rec = text.Records[0];
    EXPECT_EQ(rec.Weather, 2);
    EXPECT_EQ(rec.Extra, "x");
    EXPECT_EQ(rec.Title, "new");
    EXPECT_EQ(rec.RichText.Text(), "body") << "a file without the rich text shows the plain text";
    EXPECT_EQ(rec.Private, "priv");
    EXPECT_EQ(rec.News, "news");
}

// The rich text as read: empty exactly when its field decodes to nothing, written back as the
// bytes read, equal to the same text given as it is.
TEST(LazyText, KeptAsRead) {
    const struct {
        std::string field;
        std::string text;
    } cases[] = {
        {"", ""},
        {"\"\"", ""},
        {"\\", ""},
        {"\"\\\"", ""},
        {"\"\"\\", ""},
        {"\"a\"", "a"},
        {"\\\\", "\\"},
        {"\"\"\"\"", "\""},
        {"\"{\\\\rtf1 a\"\"b}\"", "{\\rtf1 a\"b}"},
        {"{\\\\rtf1\\q}", "{\\rtf1q}"},
        {"\"{\\\\rtf1}\"x\\n", "{\\rtf1}x\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        const auto source = std::make_shared<const std::string>("," + c.field + ",");
        const TLazyText read =
            TLazyText::FromField(std::string_view(*source).substr(1, c.field.size()), source);
        EXPECT_EQ(read.Empty(), c.text.empty());
        std::string line;
        read.AppendField(line);
        EXPECT_EQ(line, c.field);
        EXPECT_EQ(read, TLazyText(c.text));
        EXPECT_EQ(read.Text(), c.text);
        const TLazyText copy = read;
        EXPECT_EQ(copy.Text(), c.text);
    }
}

TEST(YearFileText, RoundTrip) {
    std::vector<TDataInfo> recs(2);
    recs[0].Date = EncodeDate(2026, 1, 1);
    recs[0].Title = Sjis("元日, \"初詣\"");
    recs[0].Text = Sjis("本文\r\n二行目\\");
    recs[0].RichText = "{\\rtf1 x}";
    recs[0].Weather = -1;
    recs[1].Date = EncodeDate(2026, 1, 2);
    recs[1].News = Sjis("表");
    const std::string text = YearFileText({&recs[0], &recs[1]});
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    const TYearFileText back = ParseYearFile(text);
    ASSERT_EQ(back.Records.size(), 2u);
    EXPECT_EQ(back.Records[0], recs[0]);
    // The second record's empty rich text reads back as its (empty) plain text.
    EXPECT_EQ(back.Records[1], recs[1]);
    EXPECT_FALSE(back.LinesASaveWouldLose);
}

TEST(ReadYearFile, AnyYearWithoutMovingTheStore) {
    StoreFolder folder;
    SafeWriteFile(folder.File("2025.dat"), "45658,0,," + Sjis("去年") + ",,,,,\r\n");
    // The same year as UTF-8, as a text editor may leave it.
    SafeWriteFile(folder.File("2024.dat"), "45292,0,,去年の前,,,,,\n");
    std::filesystem::create_directory(folder.File("2023.dat"));

    TScrapList store;
    store.SetDataDir(folder.Dir());
    store.SetDate(EncodeDate(2026, 5, 1));

    const TYearFileRead read = ReadYearFile(YearFilePath(folder.Dir(), 2025));
    ASSERT_EQ(read.Text.Records.size(), 1u);
    EXPECT_EQ(read.Text.Records[0].Title, Sjis("去年"));
    EXPECT_FALSE(read.Missing);
    EXPECT_FALSE(read.ReadAsUtf8);

    const TYearFileRead utf8 = ReadYearFile(YearFilePath(folder.Dir(), 2024));
    EXPECT_TRUE(utf8.ReadAsUtf8);
    ASSERT_EQ(utf8.Text.Records.size(), 1u);
    EXPECT_EQ(utf8.Text.Records[0].Title, Sjis("去年の前"));

    EXPECT_TRUE(ReadYearFile(YearFilePath(folder.Dir(), 2022)).Missing);
    const TYearFileRead folderRead = ReadYearFile(YearFilePath(folder.Dir(), 2023));
    EXPECT_FALSE(folderRead.Error.empty());
    EXPECT_TRUE(folderRead.Text.Records.empty());

    EXPECT_EQ(store.CurrentDate(), EncodeDate(2026, 5, 1));
    EXPECT_EQ(store.FileName(), YearFilePath(folder.Dir(), 2026));
    EXPECT_TRUE(folder.messages.empty()) << "reading another year says nothing";
}
