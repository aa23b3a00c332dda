#include "calendar/HolidayList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/Cp932.h"
#include "storage/DayNumber.h"
#include "storage/SafeWrite.h"
#include "storage/VelmoraError.h"

namespace {

const std::string kDataDir = VELMORA_TEST_DATA;

std::string Names(const THolidayList& list, int year, int month, int day) {
    return Cp932ToUtf8(list.DayText(EncodeDate(year, month, day)));
}

THolidayList ListOf(std::initializer_list<const char*> utf8Lines) {
    THolidayList list;
    for (const char* line : utf8Lines) {
        list.ReadLine(Sjis(line));
    }
    list.Sort();
    return list;
}

TEST(SplitCommaText, Fields) {
    struct {
        const char* source;
        std::string text;
        std::vector<std::string> fields;
    } const cases[] = {
        {"commas", "a,b,c", {"a", "b", "c"}},
        {"blanks separate too", "a b\tc", {"a", "b", "c"}},
        {"blanks after a comma are skipped", "a,  b , c", {"a", "b", "c"}},
        {"two commas give an empty field", "a,,b", {"a", "", "b"}},
        {"a comma at the end gives an empty field", "a,b,", {"a", "b", ""}},
        {"leading blanks", "  a", {"a"}},
        {"quoted field keeps blanks and commas", "\"x y,z\",w", {"x y,z", "w"}},
        {"doubled quote stands for one", "\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"unterminated quote runs to the end", "\"open, end", {"open, end"}},
        {"CP932 trail bytes 0x5C and 0x40 stay in the field",
         "\x95\x5C,\x83\x40",
         {"\x95\x5C", "\x83\x40"}},
        {"a lead byte at the very end", "a\x81", {"a\x81"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitCommaText(c.text), c.fields) << c.source;
    }
}

TEST(HolidayFile, ReadsRulesCommentsBlanksQuotesAndSettings) {
    THolidayList list;
    list.LoadFromFile(kDataDir + "/calendar-rules.hol");

    // Sorted by date code, kind descending, name; comments, blank lines and the line of five
    // fields are skipped; the second バレンタイン line replaced the first.
    struct {
        uint16_t dateCode;
        uint8_t kind, weekdays;
        int firstYear, lastYear;
        const char* name;
    } const expected[] = {
        {0x0081, 2, 2, 2004, 2004, "定例会"},           {0x0101, 0, 0, 1949, 9999, "元日"},
        {0x0182, 0, 2, 2000, 9999, "成人の日"},         {0x020E, 4, 0, 2001, 2005, "バレンタイン"},
        {0x020E, 2, 0, 2000, 2000, "バレンタインデー"}, {0x0300, 0, 0, 1949, 9999, "春分の日"},
        {0x0503, 0, 0, 1949, 9999, "憲法記念日"},       {0x0505, 0, 0, 1949, 9999, "こどもの 日"},
        {0x08C5, 1, 16, 2010, 2010, "盆 \"休み\""},
    };
    ASSERT_EQ(list.Count(), std::size(expected));
    for (size_t i = 0; i < list.Count(); ++i) {
        const HolidayEntry& e = list.Items(i);
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(e.DateCode, expected[i].dateCode);
        EXPECT_EQ(e.Kind, expected[i].kind);
        EXPECT_EQ(e.Weekdays, expected[i].weekdays);
        EXPECT_EQ(e.FirstYear, expected[i].firstYear);
        EXPECT_EQ(e.LastYear, expected[i].lastYear);
        EXPECT_EQ(Cp932ToUtf8(e.Name), expected[i].name);
    }
    // "=,$123456,,7,,,,,99": empty fields keep the defaults, the ninth field is ignored.
    const THolidayList::TSettings settings = {0x123456,   0x00808080, 7,         0x00808080,
                                              0x00808080, 0x00808080, 0x00808080};
    EXPECT_EQ(list.HolidayFileSettings(), settings);
    EXPECT_EQ(Names(list, 2010, 8, 19), "盆 \"休み\"");
}

TEST(HolidayFile, FieldThatIsNotANumberStopsLoadingAndKeepsTheRulesBefore) {
    THolidayList list;
    try {
        list.LoadFromFile(kDataDir + "/calendar-bad-number.hol");
        FAIL() << "no error";
    } catch (const VelmoraError& error) {
        EXPECT_EQ(Cp932ToUtf8(error.what()), "'x9999' は整数ではありません");
    }
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(Cp932ToUtf8(list.Items(0).Name), "元日");
    EXPECT_EQ(Cp932ToUtf8(list.Items(1).Name), "憲法記念日");
}

TEST(HolidayFile, MissingFileGivesAnEmptyList) {
    THolidayList list;
    list.LoadFromFile(kDataDir + "/calendar-rules.hol");
    list.LoadFromFile(kDataDir + "/calendar-no-such-file.hol");
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_FALSE(list.HolidayOrSubstitute(EncodeDate(2023, 1, 1)));
}

TEST(HolidayFile, FolderInPlaceOfTheFileIsAnErrorWithTheReason) {
    THolidayList list;
    try {
        list.LoadFromFile(kDataDir);
        ADD_FAILURE() << "a folder was read as the holiday file";
    } catch (const VelmoraError& e) {
        EXPECT_EQ(std::string(e.what()),
                  Sjis("ファイル ") + kDataDir + Sjis(" は開けません (ディレクトリです)"));
    }
    EXPECT_EQ(list.Count(), 0u);
}

TEST(HolidayFile, LineEndsOfEverySystemReadAlike) {
    const std::string rules[] = {"1,1,0,1949,9999,0,a", "5,3,0,1949,9999,0,b", "; note"};
    for (const char* lineEnd : {"\r\n", "\n", "\r"}) {
        std::string bytes;
        for (const std::string& rule : rules) {
            bytes += rule + lineEnd;
        }
        const std::string path = ::testing::TempDir() + "velmora-line-ends.hol";
        SafeWriteFile(path, bytes);
        THolidayList list;
        list.LoadFromFile(path);
        ASSERT_EQ(list.Count(), 2u) << lineEnd[1];
        EXPECT_EQ(list.Items(1).Name, "b");
    }
}

TEST(HolidayFile, NumbersItAcceptsAndRefuses) {
    struct {
        const char* line;
        bool accepted;
    } const cases[] = {
        {"+5,3,0,1949,9999,0,ok", true},
        {"$05,3,0,1949,9999,0,ok", true},
        {"0x5,3,0,1949,9999,0,ok", true},
        {"5,3,0,1949,2147483647,0,ok", true},
        {"5,3,0,1949,2147483648,0,overflow", false},
        {"5,3,0,1949,,0,empty", false},
        {"5,3.0,0,1949,9999,0,decimal", false},
        {"5,-,0,1949,9999,0,sign alone", false},
        {"5,$,0,1949,9999,0,no digits", false},
    };
    for (const auto& c : cases) {
        THolidayList list;
        if (c.accepted) {
            EXPECT_NO_THROW(list.ReadLine(c.line)) << c.line;
            EXPECT_EQ(list.Count(), 1u) << c.line;
        } else {
            EXPECT_THROW(list.ReadLine(c.line), VelmoraError) << c.line;
        }
    }
}

TEST(EntryMatches, DayCodes) {
    struct {
        const char* source;
        const char* line;
        int year, month, day;
        bool matches;
    } const cases[] = {
        {"fixed date", "1,1,0,1949,9999,0,元日", 2023, 1, 1, true},
        {"fixed date, before the first year", "1,1,0,1949,9999,0,元日", 1948, 1, 1, false},
        {"fixed date, next day", "1,1,0,1949,9999,0,元日", 2023, 1, 2, false},
        {"2nd Monday of January", "1,-2,2,2000,9999,0,成人の日", 2023, 1, 9, true},
        {"3rd Monday is not the 2nd", "1,-2,2,2000,9999,0,成人の日", 2023, 1, 16, false},
        {"Tuesday of the 2nd week", "1,-2,2,2000,9999,0,成人の日", 2023, 1, 10, false},
        {"2nd Monday, February", "1,-2,2,2000,9999,0,成人の日", 2023, 2, 13, false},
        {"equinox rule on 春分", "3,0,0,1949,9999,0,春分の日", 2023, 3, 21, true},
        {"equinox rule the day before", "3,0,0,1949,9999,0,春分の日", 2023, 3, 20, false},
        {"equinox rule in 2024", "3,0,0,1949,9999,0,春分の日", 2024, 3, 20, true},
        {"equinox rule for 秋分 in March", "3,0,12,1949,9999,0,x", 2023, 3, 21, false},
        {"every first Monday", "0,-1,2,2004,2004,2,定例会", 2004, 2, 2, true},
        {"every first Monday, second one", "0,-1,2,2004,2004,2,定例会", 2004, 2, 9, false},
        {"every first Monday, other year", "0,-1,2,2004,2004,2,定例会", 2005, 2, 7, false},
        {"first Monday and Tuesday", "0,-1,6,2004,2004,2,x", 2004, 2, 3, true},
        {"first Monday and Tuesday, Wednesday", "0,-1,6,2004,2004,2,x", 2004, 2, 4, false},
        {"weeks 0 and 2 on Monday, week 2", "0,-69,2,2004,2004,2,x", 2004, 2, 16, true},
        {"weeks 0 and 2 on Monday, week 1", "0,-69,2,2004,2004,2,x", 2004, 2, 9, false},
        {"day 15 of every month", "0,15,0,2000,2000,2,x", 2000, 6, 15, true},
        {"years 2000 to 2000, in 2000", "6,1,0,2000,2000,2,x", 2000, 6, 1, true},
        {"years 2000 to 2000, in 1999", "6,1,0,2000,2000,2,x", 1999, 6, 1, false},
        {"years 2000 to 2000, in 2001", "6,1,0,2000,2000,2,x", 2001, 6, 1, false},
        {"5th week holds days 29 to 31", "0,-5,64,2024,2024,2,x", 2024, 8, 31, true},
    };
    for (const auto& c : cases) {
        THolidayList list;
        list.ReadLine(Sjis(c.line));
        ASSERT_EQ(list.Count(), 1u) << c.source;
        const double date = EncodeDate(c.year, c.month, c.day);
        EXPECT_EQ(
            THolidayList::EntryMatches(list.Items(0), THolidayList::SolarTermOfDate(date), date),
            c.matches)
            << c.source;
    }
}

TEST(Holidays, KindsAndDayText) {
    const THolidayList list = ListOf({
        "1,1,0,1949,9999,0,元日",
        "1,1,0,2000,9999,2,初詣",
        "1,2,0,2000,9999,3,never shown",
        "1,3,0,2000,9999,1,三が日",
        "1,3,0,2000,9999,5,named",
    });
    EXPECT_TRUE(list.IsHoliday(EncodeDate(2024, 1, 1)));
    // Kind 2 sorts before kind 0 of the same date code.
    EXPECT_EQ(Names(list, 2024, 1, 1), "初詣\r\n元日");
    EXPECT_FALSE(list.IsHoliday(EncodeDate(2024, 1, 2)));
    EXPECT_EQ(Names(list, 2024, 1, 2), "");
    EXPECT_TRUE(list.IsHoliday(EncodeDate(2024, 1, 3)));
    EXPECT_EQ(Names(list, 2024, 1, 3), "named\r\n三が日");
    EXPECT_EQ(Names(list, 2024, 1, 4), "");
}

TEST(Holidays, SubstituteMonday) {
    const THolidayList list = ListOf({
        "5,3,0,1949,9999,0,憲法記念日",
        "5,4,0,2007,9999,0,みどりの日",
        "5,-1,2,2015,2015,2,月曜会",
        "3,0,0,1949,9999,0,春分の日",
        "4,29,0,1949,9999,0,祝日",
    });
    struct {
        const char* source;
        int year, month, day;
        bool holiday, holidayOrSubstitute;
        const char* text;
    } const cases[] = {
        {"Monday after Sunday 5/3 with a holiday of its own and a named day after it", 2015, 5, 4,
         true, true, "みどりの日\r\n月曜会"},
        {"Monday after Sunday 5/3 without a holiday rule", 1992, 5, 4, false, true, "振替休日"},
        {"Tuesday after Sunday and Monday holidays: the built-in rule looks back one day", 2015, 5,
         5, false, false, ""},
        {"Monday after the equinox on Sunday 2016-03-20", 2016, 3, 21, false, true, "振替休日"},
        {"first substitute holiday after the law of 12 April 1973", 1973, 4, 30, false, true,
         "振替休日"},
        {"before the law a Sunday holiday was lost", 1970, 5, 4, false, false, ""},
        {"a Monday after an ordinary Sunday", 2015, 5, 11, false, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const double date = EncodeDate(c.year, c.month, c.day);
        EXPECT_EQ(list.IsHoliday(date), c.holiday);
        EXPECT_EQ(list.HolidayOrSubstitute(date), c.holidayOrSubstitute);
        EXPECT_EQ(Names(list, c.year, c.month, c.day), c.text);
    }
}

}  // namespace
