// Finding days again: folding for search, the search of pages and of the years on threads, the
// day lists' rows, the nearest day with a page and moving a page between days and years.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "storage/Cp932.h"
#include "storage/DayList.h"
#include "storage/DayNumber.h"
#include "storage/DaySearch.h"
#include "storage/MovePage.h"
#include "storage/PastDays.h"
#include "storage/ScrapList.h"
#include "storage/SearchFold.h"
#include "storage/YearDays.h"
#include "storage/YearFile.h"
#include "storage/YearsSearch.h"
#include "support/ScopedUnprivileged.h"
#include "support/StoreFolder.h"

namespace {

TDataInfo Page(int32_t date, const std::string& text, const std::string& title = {}) {
    TDataInfo rec;
    rec.Date = date;
    rec.Text = Sjis(text);
    rec.RichText = rec.Text;
    rec.Title = Sjis(title);
    rec.Weather = 0;
    return rec;
}

// The marked parts of a hit's text, joined by "|".
std::string Marked(const TSearchHit& hit) {
    std::string marked;
    for (const TSearchMark& mark : hit.Marks) {
        if (!marked.empty()) {
            marked += '|';
        }
        marked.append(hit.Text, mark.Begin, mark.End - mark.Begin);
    }
    return marked;
}

bool Finds(const std::string& query, const std::string& text) {
    const std::u32string folded = FoldForSearch(Sjis(text));
    return folded.find(FoldForSearch(Sjis(query))) != std::u32string::npos;
}

}  // namespace

TEST(SearchFold, WaysOfTypingFindEachOther) {
    struct Case {
        const char* query;
        const char* text;
        bool found;
        const char* why;
    };
    const Case cases[] = {
        {"ﾃﾞｨｽﾞﾆｰ", "ディズニーへ行った", true, "half-width kana with sound marks"},
        {"でぃずにー", "ﾃﾞｨｽﾞﾆｰ", true, "hiragana against half-width katakana"},
        {"ディズニー", "でぃずにー", true, "katakana against hiragana"},
        {"ﾊﾟﾝ", "パン屋", true, "semi-voiced mark"},
        {"ｳﾞ", "ヴ", true, "vu"},
        {"パン", "ハン", false, "the mark is part of the character"},
        {"が", "か", false, "voiced is not unvoiced"},
        {"ABC", "ａｂｃ", true, "full-width letters and case"},
        {"ｘｙｚ", "XYZ", true, "full-width lower against ASCII upper"},
        {"12", "１２月", true, "full-width digits"},
        {"1", "①", true, "circled number (NFKC)"},
        {"20", "⑳", true, "circled twenty"},
        {"iv", "Ⅳ", true, "Roman numeral"},
        {"viii", "ⅷ", true, "small Roman numeral"},
        {"平成", "㍻", true, "squared era name"},
        {"キロ", "㌔", true, "squared unit"},
        {"(株)", "㈱", true, "parenthesised ideograph"},
        {"a b", "a　b", true, "ideographic space is a blank"},
        {"été", "ÉTÉ", true, "beyond CP932, stored as references, case folded"},
        {"😀", "今日😀", true, "emoji stored as a reference"},
        {"表", "表示", true, "0x5C second byte"},
        {"\\", "表示", false, "0x5C inside a character is not a backslash"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Finds(c.query, c.text), c.found) << c.query << " in " << c.text << ": " << c.why;
    }
}

TEST(SearchFold, SourceOffsetsPointIntoTheText) {
    const std::string text = Sjis("aﾃﾞb㍻");
    std::vector<uint32_t> source;
    const std::u32string folded = FoldForSearch(text, &source);
    ASSERT_EQ(folded, U"aデb平成");
    EXPECT_EQ(source, (std::vector<uint32_t>{0, 1, 3, 4, 4, 6}));
}

TEST(DaySearch, AllWordsMustOccurAndTheFirstIsShown) {
    TDataInfo rec = Page(EncodeDate(2020, 5, 1), "朝はﾃﾞｨｽﾞﾆｰへ。夜は雨", "遊園地");
    rec.News = Sjis("花火");
    struct Case {
        const char* query;
        TSearchField field;
        bool found;
        char shown;
        const char* marked;  // the marked parts of the shown text, joined by "|"
    };
    const Case cases[] = {
        {"ディズニー", TSearchField::All, true, 'C', "ﾃﾞｨｽﾞﾆｰ"},
        {"でぃずにー　雨", TSearchField::All, true, 'C', "ﾃﾞｨｽﾞﾆｰ|雨"},
        {"雨 でぃずにー", TSearchField::All, true, 'C', "ﾃﾞｨｽﾞﾆｰ|雨"},
        {"遊園地 花火", TSearchField::All, true, 'P', "遊園地"},
        {"雨 雪", TSearchField::All, false, 0, ""},
        {"花火", TSearchField::Text, false, 0, ""},
        {"花火", TSearchField::News, true, 'N', "花火"},
        {"  ", TSearchField::All, false, 0, ""},
    };
    for (const Case& c : cases) {
        const auto hit = TDaySearch(Sjis(c.query), c.field).Match(rec);
        ASSERT_EQ(hit.has_value(), c.found) << c.query;
        if (hit) {
            EXPECT_EQ(hit->Field, c.shown) << c.query;
            EXPECT_EQ(Marked(*hit), Sjis(c.marked)) << c.query;
            EXPECT_EQ(hit->Date, rec.Date);
        }
    }
}

TEST(DaySearch, EveryWordIsMarkedInTheShownText) {
    const std::string a38(38, 'a');
    const std::string a60(60, 'a');
    struct Case {
        std::string text;
        const char* query;
        std::string shown;
        const char* marked;
        const char* why;
    };
    const Case cases[] = {
        {"東京から大阪へ、大阪から東京へ", "東京 大阪", "東京から大阪へ、大阪から東京へ",
         "東京|大阪|大阪|東京", "every place of every word, half-width blank between words"},
        {"東京から大阪へ", "大阪　東京", "東京から大阪へ", "東京|大阪",
         "full-width blank between words; the text opens at the first place"},
        {"東京都へ", "東京 京都", "東京都へ", "東京都", "overlapping places marked once"},
        {"ははは", "は", "ははは", "ははは", "touching places joined"},
        {"東京" + a60 + "大阪", "東京 大阪", "東京" + a60.substr(0, 40), "東京",
         "a word beyond the shown text is not marked"},
        {"a東京" + a38 + "大阪", "東京 大阪", "a東京" + a38 + "大", "東京|大",
         "a place the shown text cuts is marked as far as it is shown"},
        {"a😀b😀", "😀", "a😀b😀", "😀|😀", "a character beyond CP932 is marked whole"},
    };
    for (const Case& c : cases) {
        TDataInfo rec = Page(EncodeDate(2020, 5, 1), c.text);
        const auto hit = TDaySearch(Sjis(c.query), TSearchField::All).Match(rec);
        ASSERT_TRUE(hit) << c.why;
        EXPECT_EQ(hit->Text, Sjis(c.shown)) << c.why;
        EXPECT_EQ(Marked(*hit), Sjis(c.marked)) << c.why;
    }
}

TEST(DaySearch, ContextNeverSplitsACharacter) {
    struct Case {
        const char* text;
        const char* shown;
        const char* why;
    };
    const Case cases[] = {
        {"あいうえおかきくけこさしすせそa目印bたちつてとなにぬねのはひふへほまみむめもやゆよ",
         "くけこさしすせそa目印bたちつてとなにぬねのはひふへほまみむめ",
         "16 bytes before the match and 40 after fall inside double-byte characters"},
        {"😀😀😀😀😀😀目印😀😀😀😀😀", "😀😀目印😀😀😀😀", "both ends fall inside characters kept as references"},
    };
    for (const Case& c : cases) {
        const auto hit =
            TDaySearch(Sjis("目印"), TSearchField::All).Match(Page(EncodeDate(2020, 5, 1), c.text));
        ASSERT_TRUE(hit) << c.why;
        EXPECT_EQ(hit->Text, Sjis(c.shown)) << c.why;
        EXPECT_EQ(Marked(*hit), Sjis("目印")) << c.why;
    }
}

TEST(DayList, RowTextFollowsTabAndMonth) {
    TDataInfo rec = Page(EncodeDate(2020, 5, 1), "本文");
    rec.News = Sjis("  ");
    struct Case {
        int tab;
        bool monthOnly;
        int month;
        std::string expected;
    };
    const Case cases[] = {
        {0, false, 1, Sjis("本文")}, {0, true, 5, Sjis("本文")},  {0, true, 6, ""},
        {2, false, 5, ""},  // a blank part is not listed
        {3, false, 5, ""},           {9, false, 5, Sjis("本文")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DayListRowText(rec, DayListTab(c.tab).RowLetter, c.monthOnly, c.month),
                  c.expected)
            << "tab " << c.tab;
    }
    // 24 bytes: the twelfth double-byte character is the last one, then "...".
    rec.Text = Sjis("一二三四五六七八九十壱弐参");
    EXPECT_EQ(DayListRowText(rec, 'C', false, 5), Sjis("一二三四五六七八九十壱弐") + "...");
}

class FindingDaysFolder : public StoreFolder, public ::testing::Test {
protected:
    void Seed(const TDataInfo& rec) {
        TScrapList seed;
        seed.LoadFromFile(YearFilePath(Dir(), DecodeDate(rec.Date).Year));
        seed.PutRecord(rec);
        seed.SaveToFile();
    }
    TDataInfo OnDisk(int32_t date) {
        for (const TDataInfo& rec :
             ReadYearFile(YearFilePath(Dir(), DecodeDate(date).Year)).Text.Records)
            if (rec.Date == date)
                return rec;
        return EmptyDataInfo;
    }
};

TEST_F(FindingDaysFolder, NeighbourPagesAcrossYears) {
    Seed(Page(EncodeDate(2018, 3, 3), "a"));
    Seed(Page(EncodeDate(2020, 1, 10), "b"));
    Seed(Page(EncodeDate(2020, 2, 10), "c"));
    Seed(Page(EncodeDate(2023, 7, 7), "d"));
    TScrapList store;
    store.SetDataDir(Dir());
    store.SetDate(EncodeDate(2020, 1, 20));
    EXPECT_EQ(NeighbourPageDate(store, 1), EncodeDate(2020, 2, 10));
    EXPECT_EQ(NeighbourPageDate(store, -1), EncodeDate(2020, 1, 10));
    store.SetDate(EncodeDate(2020, 1, 10));
    EXPECT_EQ(NeighbourPageDate(store, -1), EncodeDate(2018, 3, 3));
    store.SetDate(EncodeDate(2020, 2, 10));
    EXPECT_EQ(NeighbourPageDate(store, 1), EncodeDate(2023, 7, 7));
    store.SetDate(EncodeDate(2023, 7, 7));
    EXPECT_EQ(NeighbourPageDate(store, 1), 0);
    EXPECT_EQ(YearFilesIn(Dir()), (std::vector<int>{2018, 2020, 2023}));
}

TEST(PastDays, SameDayInEarlierYearsNewestFirst) {
    const auto d = [](int y, int m, int day) { return EncodeDate(y, m, day); };
    const struct {
        const char* why;
        int32_t shown;
        std::vector<int> years;
        std::vector<int32_t> expected;
        bool leapNote;
    } cases[] = {
        {"earlier years only, newest first",
         d(2026, 12, 8),
         {1999, 2027, 2026, 2025, 2020},
         {d(2025, 12, 8), d(2020, 12, 8), d(1999, 12, 8)},
         false},
        {"28 February of a common year takes in 29 February",
         d(2026, 2, 28),
         {2023, 2020, 2024},
         {d(2024, 2, 29), d(2024, 2, 28), d(2023, 2, 28), d(2020, 2, 29), d(2020, 2, 28)},
         true},
        {"a leap year has its own 29th",
         d(2028, 2, 28),
         {2024, 2023},
         {d(2024, 2, 28), d(2023, 2, 28)},
         false},
        {"29 February lists leap years only",
         d(2028, 2, 29),
         {2024, 2023, 2020},
         {d(2024, 2, 29), d(2020, 2, 29)},
         false},
        {"1 March is itself", d(2026, 3, 1), {2024}, {d(2024, 3, 1)}, false},
        {"no earlier year", d(2020, 5, 5), {2020, 2021}, {}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameDayInEarlierYears(c.shown, c.years), c.expected) << c.why;
        EXPECT_EQ(ShowsLeapDayPages(c.shown), c.leapNote) << c.why;
    }
}

TEST(PastDays, FirstBodyLineSkipsBlankLines) {
    EXPECT_EQ(FirstBodyLine("\r\n  \r\n  first\r\nsecond"), "first");
    EXPECT_EQ(FirstBodyLine("only"), "only");
    EXPECT_EQ(FirstBodyLine("a\rb"), "a");
    EXPECT_EQ(FirstBodyLine(" \r\n\t"), "");
}

// A year of long pages, so that finding a day halves the file several times.
std::vector<TDataInfo> LongYear(int year) {
    std::vector<TDataInfo> days;
    for (int32_t d = EncodeDate(year, 1, 1); d <= EncodeDate(year, 12, 31); ++d) {
        if (d % 5 == 0)
            continue;  // days without a page
        TDataInfo rec = Page(d, "本文" + std::to_string(d) + std::string(400 + d % 700, 'x'),
                             "題" + std::to_string(d));
        rec.Weather = d % 33;
        days.push_back(rec);
    }
    return days;
}

std::string YearText(const std::vector<TDataInfo>& days) {
    std::vector<const TDataInfo*> records;
    for (const TDataInfo& rec : days)
        records.push_back(&rec);
    return YearFileText(records);
}

TEST_F(FindingDaysFolder, ReadingOneDayGivesWhatTheWholeFileGives) {
    const std::vector<TDataInfo> year = LongYear(2024);
    const std::string path = YearFilePath(Dir(), 2024);
    SafeWriteFile(path, YearText(year));
    const TYearFileText whole = ParseYearFile(YearText(year), TYearFileFields::WithoutRichText);
    size_t next = 0;
    for (int32_t d = EncodeDate(2024, 1, 1) - 1; d <= EncodeDate(2025, 1, 1); ++d) {
        const TYearDaysRead read = ReadYearFileDays(path, {d});
        ASSERT_TRUE(read.Error.empty());
        if (next < whole.Records.size() && whole.Records[next].Date == d) {
            ASSERT_EQ(read.Records.size(), 1u) << d;
            EXPECT_EQ(read.Records[0], whole.Records[next]) << d;
            ++next;
        } else {
            EXPECT_TRUE(read.Records.empty()) << d;
        }
    }
    // Two days of one year in one reading, in date order whatever the order asked.
    const TYearDaysRead two = ReadYearFileDays(path, {year[41].Date, year[40].Date});
    ASSERT_EQ(two.Records.size(), 2u);
    EXPECT_EQ(two.Records[0].Date, year[40].Date);
    EXPECT_EQ(two.Records[1].Date, year[41].Date);
}

// Year files as other programs or a hand may leave them: the day is found as the whole file's
// reader finds it.
TEST_F(FindingDaysFolder, ReadingOneDayOfFilesEditedElsewhere) {
    const std::vector<TDataInfo> year = LongYear(2023);
    const int32_t day = EncodeDate(2023, 6, 14);
    std::vector<TDataInfo> reversed(year.rbegin(), year.rend());
    const std::string text = YearText(year);
    std::string lf = text;
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    std::string cr = text;
    cr.erase(std::remove(cr.begin(), cr.end(), '\n'), cr.end());
    std::vector<TDataInfo> twice = year;
    const auto at = std::find_if(twice.begin(), twice.end(),
                                 [day](const TDataInfo& rec) { return rec.Date == day; });
    twice.insert(at + 1, Page(day, "後の行", "新しい題"));
    // 45091 is 14 June 2023.
    const std::string utf8Line = "$b023,3,,\"日本語の題\",\"梅雨入り\",,,,\r\n";
    const struct {
        const char* why;
        std::string contents;
        const char* title;  // UTF-8; "" for no page
    } cases[] = {
        {"days in reverse order", YearText(reversed), "題"},
        {"LF line ends", lf, "題"},
        {"CR line ends", cr, "題"},
        {"a later line of the day wins", YearText(twice), "新しい題"},
        {"a line that cannot be read", "x,y,\r\n" + text, "題"},
        {"blank lines", "\r\n\r\n" + text + "\r\n\r\n", "題"},
        {"a UTF-8 byte-order mark", "\xEF\xBB\xBF" + Cp932ToUtf8(text), "題"},
        {"the day's line in UTF-8, its date in hexadecimal",
         YearText(std::vector<TDataInfo>(year.begin(), year.begin() + 10)) + utf8Line,
         "日本語の題"},
        {"no line of the day", YearText({Page(day - 1, "a", "前日"), Page(day + 1, "b")}), ""},
        {"an empty file", "", ""},
    };
    const std::string path = YearFilePath(Dir(), 2023);
    for (const auto& c : cases) {
        SafeWriteFile(path, c.contents);
        const TYearDaysRead read = ReadYearFileDays(path, {day});
        EXPECT_TRUE(read.Error.empty()) << c.why;
        std::string title;
        if (!read.Records.empty()) {
            title = Cp932ToUtf8(read.Records[0].Title);
            if (title == "題" + std::to_string(day))
                title = "題";
        }
        EXPECT_EQ(title, c.title) << c.why;
    }
    EXPECT_TRUE(ReadYearFileDays(YearFilePath(Dir(), 1990), {day}).Missing);
    ASSERT_EQ(::mkdir(YearFilePath(Dir(), 1991).c_str(), 0700), 0);
    EXPECT_FALSE(ReadYearFileDays(YearFilePath(Dir(), 1991), {day}).Error.empty());
}

TEST_F(FindingDaysFolder, PastDaysNewestFirstAcrossYears) {
    Seed(Page(EncodeDate(2020, 2, 29), "閏日", "うるう"));
    Seed(Page(EncodeDate(2020, 2, 28), "a", "二十八日"));
    Seed(Page(EncodeDate(2021, 2, 28), "b", "翌年"));
    Seed(Page(EncodeDate(2022, 3, 1), "c", "三月"));
    Seed(Page(EncodeDate(2026, 2, 28), "d", "今年"));
    ASSERT_EQ(::mkdir(YearFilePath(Dir(), 2019).c_str(), 0700), 0);
    std::vector<int> damaged;
    const std::vector<TDataInfo> pages =
        ReadPastDays(Dir(), EncodeDate(2026, 2, 28), YearFilesIn(Dir()), {}, &damaged);
    std::vector<int32_t> dates;
    for (const TDataInfo& rec : pages)
        dates.push_back(rec.Date);
    EXPECT_EQ(dates, (std::vector<int32_t>{EncodeDate(2021, 2, 28), EncodeDate(2020, 2, 29),
                                           EncodeDate(2020, 2, 28)}));
    EXPECT_EQ(damaged, std::vector<int>{2019});
}

TEST_F(FindingDaysFolder, MoveWithinYearAndOntoAPage) {
    const int32_t from = EncodeDate(2020, 3, 1);
    const int32_t empty = EncodeDate(2020, 3, 2);
    const int32_t taken = EncodeDate(2020, 3, 3);
    Seed(Page(from, "moving", "m"));
    Seed(Page(taken, "old", "o"));
    TScrapList store;
    store.SetDataDir(Dir());
    store.SetDate(from);
    EXPECT_TRUE(MovePage(store, from, empty).Moved);
    EXPECT_EQ(OnDisk(from).Date, 0);
    EXPECT_EQ(OnDisk(empty).Text, "moving");
    store.SetDate(empty);
    EXPECT_TRUE(MovePage(store, empty, taken).Moved);
    EXPECT_EQ(OnDisk(taken).Text, "moving");
    EXPECT_EQ(store.Count(), 1);
    EXPECT_FALSE(MovePage(store, empty, from).Moved) << "no page to move";
}

TEST_F(FindingDaysFolder, MoveAcrossTheYearBoundary) {
    const int32_t from = EncodeDate(2020, 12, 31);
    const int32_t to = EncodeDate(2021, 1, 1);
    Seed(Page(from, "eve"));
    Seed(Page(EncodeDate(2021, 1, 5), "kept"));
    TScrapList store;
    store.SetDataDir(Dir());
    store.SetDate(from);
    ASSERT_TRUE(MovePage(store, from, to).Moved);
    EXPECT_EQ(OnDisk(from).Date, 0);
    EXPECT_EQ(OnDisk(to).Text, "eve");
    EXPECT_EQ(OnDisk(EncodeDate(2021, 1, 5)).Text, "kept");
    EXPECT_FALSE(store.Modified());
}

TEST_F(FindingDaysFolder, TargetYearTheStoreWroteStaysCp932) {
    // CP932 of a second-level kanji, "｡", the same kanji and "｢"; as UTF-8 they read "メモ".
    const std::string title = "\xE3\x83\xA1\xE3\x83\xA2";
    TScrapList store;
    store.SetDataDir(Dir());
    store.SetDate(EncodeDate(2021, 1, 1));
    TDataInfo there = Page(EncodeDate(2021, 1, 1), "there");
    there.Title = title;
    store.PutRecord(there);
    store.SetDate(EncodeDate(2020, 6, 1));
    store.PutRecord(Page(EncodeDate(2020, 6, 1), "page"));
    ASSERT_TRUE(MovePage(store, EncodeDate(2020, 6, 1), EncodeDate(2021, 6, 1)).Moved);
    EXPECT_FALSE(FileExists(File("2021.dat.bak")));
    const std::string written = Read("2021.dat");
    EXPECT_NE(written.find("," + title + ","), std::string::npos) << written;
    EXPECT_TRUE(messages.empty());
}

TEST_F(FindingDaysFolder, DamagedTargetYearIsNotWritten) {
    const char* const damagedYears[] = {
        "not-a-date,0,,,x,,,,\r\n",  // a line that does not read
        "44197,0,,\"cut short",      // a file that ends inside a field
    };
    for (const std::string damaged : damagedYears) {
        SCOPED_TRACE(damaged);
        Seed(Page(EncodeDate(2020, 6, 1), "page"));
        Write("2021.dat", damaged);
        TScrapList store;
        store.SetDataDir(Dir());
        store.SetDate(EncodeDate(2020, 6, 1));
        const TMoveResult result = MovePage(store, EncodeDate(2020, 6, 1), EncodeDate(2021, 6, 1));
        EXPECT_FALSE(result.Moved);
        EXPECT_FALSE(result.Message.empty());
        EXPECT_EQ(Read("2021.dat"), damaged);
        EXPECT_EQ(OnDisk(EncodeDate(2020, 6, 1)).Text, "page");
    }
}

TEST_F(FindingDaysFolder, ReadOnlyFolderLeavesBothDays) {
    struct Case {
        int32_t to;
        const char* what;
    };
    const Case cases[] = {{EncodeDate(2020, 6, 2), "same year"},
                          {EncodeDate(2021, 6, 2), "other year, new file"}};
    for (const Case& c : cases) {
        const int32_t from = EncodeDate(2020, 6, 1);
        Seed(Page(from, "page"));
        const std::string before = Read("2020.dat");
        TScrapList store;
        store.SetDataDir(Dir());
        store.SetDate(from);
        TMoveResult result;
        {
            ScopedUnprivileged nobody(Path());
            ASSERT_EQ(::chmod(Path().c_str(), 0555), 0);
            result = MovePage(store, from, c.to);
            ::chmod(Path().c_str(), 0755);
        }
        EXPECT_FALSE(result.Moved) << c.what;
        EXPECT_EQ(Read("2020.dat"), before) << c.what;
        EXPECT_FALSE(FileExists(File("2021.dat"))) << c.what;
        EXPECT_EQ(store.FindByDate(from).Text, "page") << c.what;
        EXPECT_EQ(store.FindByDate(c.to).Date, 0) << c.what;
        EXPECT_FALSE(messages.empty() && result.Message.empty()) << c.what;
    }
}

TEST(YearFileFields, SearchReadsEverythingButTheRichText) {
    TDataInfo rec = Page(EncodeDate(2020, 5, 1), "本文\r\n表", "題");
    rec.RichText = "{\\rtf1 \\'96\\'7b}";
    rec.News = Sjis("出来事, \"引用\"");
    rec.Private = Sjis("秘密");
    rec.Extra = "x";
    const std::string text = YearFileText({&rec});
    const TYearFileText all = ParseYearFile(text);
    const TYearFileText lean = ParseYearFile(text, TYearFileFields::WithoutRichText);
    ASSERT_EQ(all.Records.size(), 1u);
    ASSERT_EQ(lean.Records.size(), 1u);
    EXPECT_EQ(all.Records[0], rec);
    TDataInfo expected = rec;
    expected.RichText = {};
    EXPECT_EQ(lean.Records[0], expected);
}

// Every year is handed on once, in the order asked for, with the hits a plain search of it finds,
// however many threads take the years and however the batches fall; the open year is searched in
// the records given, not in its file.
TEST_F(FindingDaysFolder, YearsSearchHandsOnEveryYearInOrder) {
    std::vector<int> years;
    for (int year = 2001; year <= 2012; ++year) {
        years.push_back(year);
        std::vector<TDataInfo> pages;
        for (int day = 1; day <= 20; ++day) {
            pages.push_back(Page(EncodeDate(year, 1, day), day % 3 == 0 ? "花見" : "雨"));
        }
        std::vector<const TDataInfo*> lines;
        for (const TDataInfo& page : pages) {
            lines.push_back(&page);
        }
        Write(std::to_string(year) + ".dat", YearFileText(lines));
    }
    Write("2005.dat", "x,0,,,花の日,,,,\r\n");  // damaged: no line can be read
    const int openYear = 2008;
    const TDataInfo unsaved = Page(EncodeDate(openYear, 2, 2), "花だけ");
    const auto search = std::make_shared<const TDaySearch>(Sjis("花"), TSearchField::All);
    const struct {
        int threads;
        bool newestFirst;
        int intervalMs;
    } cases[] = {{1, false, 0}, {2, true, 0}, {3, false, 1000}, {2, true, 1000}, {40, false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.threads) + " threads, interval " +
                     std::to_string(c.intervalMs));
        TYearsSearch::TRequest request;
        request.Search = search;
        request.Years = years;
        if (c.newestFirst) {
            std::reverse(request.Years.begin(), request.Years.end());
        }
        request.NewestFirst = c.newestFirst;
        request.Dir = Dir();
        request.OpenYear = openYear;
        request.Open = {unsaved};
        std::mutex mutex;
        std::vector<TYearFound> handedOn;
        int batches = 0;
        int lasts = 0;
        {
            TYearsSearch running(
                request,
                [&](std::vector<TYearFound> found, bool last) {
                    const std::lock_guard lock(mutex);
                    EXPECT_EQ(lasts, 0) << "nothing after the last batch";
                    ++batches;
                    lasts += last ? 1 : 0;
                    for (TYearFound& year : found) {
                        handedOn.push_back(std::move(year));
                    }
                },
                c.threads, std::chrono::milliseconds(c.intervalMs));
            for (int wait = 0; wait < 1000; ++wait) {
                if (const std::lock_guard lock(mutex); lasts > 0) {
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        const std::lock_guard lock(mutex);
        ASSERT_EQ(lasts, 1);
        ASSERT_EQ(handedOn.size(), years.size());
        if (c.intervalMs > 0) {
            EXPECT_LT(batches, static_cast<int>(years.size())) << "years are batched";
        }
        for (size_t i = 0; i < handedOn.size(); ++i) {
            const TYearFound& year = handedOn[i];
            ASSERT_EQ(year.Year, request.Years[i]);
            EXPECT_EQ(year.Damaged, year.Year == 2005) << year.Year;
            std::vector<int32_t> dates;
            for (const TSearchHit& hit : year.Hits) {
                dates.push_back(hit.Date);
            }
            std::vector<int32_t> expected;
            if (year.Year == openYear) {
                expected = {unsaved.Date};
            } else if (year.Year != 2005) {
                for (int day = 3; day <= 20; day += 3) {
                    expected.push_back(EncodeDate(year.Year, 1, day));
                }
            }
            if (c.newestFirst) {
                std::reverse(expected.begin(), expected.end());
            }
            EXPECT_EQ(dates, expected) << year.Year;
        }
    }
}

// Once Stop returns nothing more is handed on, however far the search had come.
TEST_F(FindingDaysFolder, StoppedYearsSearchHandsOnNothingMore) {
    std::vector<int> years;
    for (int year = 1990; year < 2020; ++year) {
        years.push_back(year);
        const TDataInfo page = Page(EncodeDate(year, 5, 5), "花");
        Write(std::to_string(year) + ".dat", YearFileText({&page}));
    }
    for (const int stopAfterMs : {0, 1, 5}) {
        TYearsSearch::TRequest request;
        request.Search = std::make_shared<const TDaySearch>(Sjis("花"), TSearchField::All);
        request.Years = years;
        request.Dir = Dir();
        std::atomic<bool> stopped = false;
        std::atomic<int> afterStop = 0;
        TYearsSearch running(
            request, [&](std::vector<TYearFound>, bool) { afterStop += stopped ? 1 : 0; }, 2,
            std::chrono::milliseconds(0));
        std::this_thread::sleep_for(std::chrono::milliseconds(stopAfterMs));
        running.Stop();
        stopped = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(afterStop, 0) << stopAfterMs;
    }
}
