// The holiday rules Velmora ships, read by the core, against the days off of Japan's holiday law.

#include <gtest/gtest.h>

#include <string>

#include "calendar/HolidayList.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"

namespace {

enum class Off { No, Rule, Substitute };  // not a day off; by a rule; by the built-in Monday

class ShippedHolidays : public testing::Test {
protected:
    static void SetUpTestSuite() {
        list = new THolidayList;
        list->LoadFromFile(VELMORA_SHIPPED_HOLIDAYS);
    }
    static void TearDownTestSuite() { delete list; }

    static std::string Text(int32_t day) { return Cp932ToUtf8(list->DayText(day)); }

    // A national holiday (国民の祝日, or a day counted as one), not a day off that follows
    // from them.
    static bool National(int32_t day) {
        const std::string text = Text(day);
        return list->IsHoliday(day) && text != "振替休日" && text != "国民の休日";
    }

    static THolidayList* list;
};

THolidayList* ShippedHolidays::list = nullptr;

TEST_F(ShippedHolidays, DaysOfTheLaw) {
    struct {
        const char* source;
        int year, month, day;
        Off off;
        const char* text;
    } const cases[] = {
        {"1948 law: first holiday held, 秋分の日", 1948, 9, 23, Off::Rule, "秋分の日"},
        {"1948 law: 憲法記念日 from 1949", 1948, 5, 3, Off::No, ""},
        {"1948 law: 元日", 1949, 1, 1, Off::Rule, "元日"},
        {"special law: wedding of the Crown Prince", 1959, 4, 10, Off::Rule, "結婚の儀"},
        {"1966 amendment: no 建国記念の日 before 1967", 1966, 2, 11, Off::No, ""},
        {"1966 amendment: 建国記念の日", 1967, 2, 11, Off::Rule, "建国記念の日"},
        {"1966 amendment: 敬老の日", 1966, 9, 15, Off::Rule, "敬老の日"},
        {"before 1973-04-12 a Sunday holiday was lost", 1970, 5, 4, Off::No, ""},
        {"1973: first substitute holiday", 1973, 4, 30, Off::Substitute, "振替休日"},
        {"秋分の日 on 24 September", 1979, 9, 24, Off::Rule, "秋分の日"},
        {"4 May 1987: substitute for Sunday 3 May", 1987, 5, 4, Off::Substitute, "振替休日"},
        {"1985 amendment: first 国民の休日", 1988, 5, 4, Off::Rule, "国民の休日"},
        {"天皇誕生日 29 April until 1988", 1988, 4, 29, Off::Rule, "天皇誕生日"},
        {"special law: funeral of Emperor Shōwa", 1989, 2, 24, Off::Rule, "大喪の礼"},
        {"1989 amendment: みどりの日", 1989, 4, 29, Off::Rule, "みどりの日"},
        {"1989 amendment: 天皇誕生日 23 December", 1989, 12, 23, Off::Rule, "天皇誕生日"},
        {"special law: enthronement ceremony", 1990, 11, 12, Off::Rule, "即位礼正殿の儀"},
        {"国民の休日 on a Saturday", 1991, 5, 4, Off::Rule, "国民の休日"},
        {"4 May 1992 is a substitute, not 国民の休日", 1992, 5, 4, Off::Substitute, "振替休日"},
        {"special law: wedding of the Crown Prince", 1993, 6, 9, Off::Rule, "結婚の儀"},
        {"no 国民の休日 on Sunday 4 May 1997", 1997, 5, 4, Off::No, ""},
        {"1995 amendment: 海の日", 1996, 7, 20, Off::Rule, "海の日"},
        {"成人の日 15 January until 1999", 1999, 1, 15, Off::Rule, "成人の日"},
        {"Sunday 体育の日 1999", 1999, 10, 11, Off::Substitute, "振替休日"},
        {"1998 amendment: 成人の日 2nd Monday", 2000, 1, 10, Off::Rule, "成人の日"},
        {"1998 amendment: 15 January 2000 ordinary", 2000, 1, 15, Off::No, ""},
        {"1998 amendment: 体育の日 2nd Monday", 2000, 10, 9, Off::Rule, "体育の日"},
        {"Sunday 敬老の日 2002", 2002, 9, 16, Off::Substitute, "振替休日"},
        {"2001 amendment: 海の日 3rd Monday", 2003, 7, 21, Off::Rule, "海の日"},
        {"2001 amendment: 敬老の日 3rd Monday", 2003, 9, 15, Off::Rule, "敬老の日"},
        {"last 国民の休日 on 4 May", 2006, 5, 4, Off::Rule, "国民の休日"},
        {"2005 amendment: 4 May is みどりの日", 2007, 5, 4, Off::Rule, "みどりの日"},
        {"2005 amendment: Sunday 昭和の日", 2007, 4, 30, Off::Substitute, "振替休日"},
        {"2005 amendment: substitute on a Tuesday", 2008, 5, 6, Off::Rule, "振替休日"},
        {"2005 amendment: substitute on a Wednesday", 2009, 5, 6, Off::Rule, "振替休日"},
        {"国民の休日 between 敬老の日 and 秋分の日", 2009, 9, 22, Off::Rule, "国民の休日"},
        {"国民の休日 between 敬老の日 and 秋分の日", 2015, 9, 22, Off::Rule, "国民の休日"},
        {"2014 amendment: first 山の日", 2016, 8, 11, Off::Rule, "山の日"},
        {"Sunday 天皇誕生日 2018", 2018, 12, 24, Off::Substitute, "振替休日"},
        {"no 天皇誕生日 in 2019", 2019, 2, 23, Off::No, ""},
        {"2019: 国民の休日 before accession day", 2019, 4, 30, Off::Rule, "国民の休日"},
        {"2019: accession day", 2019, 5, 1, Off::Rule, "休日（祝日扱い）"},
        {"2019: 国民の休日 after accession day", 2019, 5, 2, Off::Rule, "国民の休日"},
        {"2019: Sunday こどもの日", 2019, 5, 6, Off::Substitute, "振替休日"},
        {"2019: Sunday 山の日", 2019, 8, 12, Off::Substitute, "振替休日"},
        {"2019: name of the 2nd Monday of October", 2019, 10, 14, Off::Rule,
         "体育の日（スポーツの日）"},
        {"2019: enthronement ceremony", 2019, 10, 22, Off::Rule, "休日（祝日扱い）"},
        {"no 天皇誕生日 on 23 December 2019", 2019, 12, 23, Off::No, ""},
        {"2017 law: Sunday 天皇誕生日 2020", 2020, 2, 24, Off::Substitute, "振替休日"},
        {"substitute on a Wednesday", 2020, 5, 6, Off::Rule, "振替休日"},
        {"Olympics 2020: 20 July ordinary", 2020, 7, 20, Off::No, ""},
        {"Olympics 2020: 海の日 moved", 2020, 7, 23, Off::Rule, "海の日"},
        {"Olympics 2020: スポーツの日 moved", 2020, 7, 24, Off::Rule, "スポーツの日"},
        {"Olympics 2020: 山の日 moved", 2020, 8, 10, Off::Rule, "山の日"},
        {"Olympics 2020: 11 August ordinary", 2020, 8, 11, Off::No, ""},
        {"Olympics 2020: 12 October ordinary", 2020, 10, 12, Off::No, ""},
        {"Olympics 2021: 19 July ordinary", 2021, 7, 19, Off::No, ""},
        {"Olympics 2021: 海の日 moved", 2021, 7, 22, Off::Rule, "海の日"},
        {"Olympics 2021: スポーツの日 moved", 2021, 7, 23, Off::Rule, "スポーツの日"},
        {"Olympics 2021: 山の日 moved to a Sunday", 2021, 8, 8, Off::Rule, "山の日"},
        {"Olympics 2021: its substitute", 2021, 8, 9, Off::Substitute, "振替休日"},
        {"海の日 3rd Monday again", 2022, 7, 18, Off::Rule, "海の日"},
        {"山の日 11 August again", 2022, 8, 11, Off::Rule, "山の日"},
        {"スポーツの日 2nd Monday", 2022, 10, 10, Off::Rule, "スポーツの日"},
        {"春分の日 2023", 2023, 3, 21, Off::Rule, "春分の日"},
        {"Sunday 建国記念の日 2024", 2024, 2, 12, Off::Substitute, "振替休日"},
        {"Sunday 秋分の日 2024", 2024, 9, 23, Off::Substitute, "振替休日"},
        {"substitute on a Tuesday 2025", 2025, 5, 6, Off::Rule, "振替休日"},
        {"substitute on a Wednesday 2026", 2026, 5, 6, Off::Rule, "振替休日"},
        {"国民の休日 2026, announced by the Cabinet Office", 2026, 9, 22, Off::Rule, "国民の休日"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const int32_t day = EncodeDate(c.year, c.month, c.day);
        EXPECT_EQ(list->IsHoliday(day), c.off == Off::Rule);
        EXPECT_EQ(list->HolidayOrSubstitute(day), c.off != Off::No);
        EXPECT_EQ(Text(day), c.text);
    }
}

// From 2007 the law moves a Sunday holiday to the nearest later day that is not a national
// holiday, and makes a day between two national holidays a day off. Checked for every day the
// file's worked-out days cover, with the equinoxes of Velmora's own solar-term series.
TEST_F(ShippedHolidays, SubstituteAndCitizensHolidaysFrom2007) {
    const int32_t last = EncodeDate(2099, 12, 31);
    for (int32_t day = EncodeDate(2007, 1, 1); day <= last; ++day) {
        const TYmd date = DecodeDate(day);
        SCOPED_TRACE(testing::Message() << date.Year << "-" << date.Month << "-" << date.Day);
        const std::string text = Text(day);
        if (DayOfWeek(day) == 1 && National(day)) {
            int32_t moved = day + 1;
            while (National(moved)) {
                ++moved;
            }
            EXPECT_TRUE(list->HolidayOrSubstitute(moved));
            EXPECT_EQ(Text(moved), "振替休日");
        }
        if (!National(day) && National(day - 1) && National(day + 1)) {
            EXPECT_TRUE(list->HolidayOrSubstitute(day));
            EXPECT_TRUE(text == "国民の休日" || text == "振替休日") << text;
        }
        if (text == "国民の休日") {
            EXPECT_TRUE(National(day - 1) && National(day + 1));
        }
        if (text == "振替休日") {
            int32_t sunday = day - 1;
            while (National(sunday) && DayOfWeek(sunday) != 1) {
                --sunday;
            }
            EXPECT_TRUE(DayOfWeek(sunday) == 1 && National(sunday));
        }
    }
}

}  // namespace
