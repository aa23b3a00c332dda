#include <gtest/gtest.h>

#include <string>

#include "notes/NoteRec.h"
#include "notes/TitleOrder.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"

namespace {

TNoteRec Note(uint16_t monthRule, uint16_t dayRule, uint16_t startYear,
              uint16_t endYear = NoEndYear, int32_t endDate = 0, uint8_t kind = NoteOpen) {
    TNoteRec note;
    note.Kind = kind;
    note.MonthRule = monthRule;
    note.DayRule = dayRule;
    note.StartYear = startYear;
    note.EndYear = endYear;
    note.EndDate = endDate;
    return note;
}

uint16_t Months(std::initializer_list<int> months) {
    uint16_t rule = MonthSetFlag;
    for (const int m : months) {
        rule |= 1u << (m - 1);
    }
    return rule;
}

constexpr int kSunday = 1 << 0;
constexpr int kTuesday = 1 << 2;
constexpr int kSecondWeek = 1 << 1;
constexpr int kFifthWeek = 1 << 4;

struct NextDateCase {
    const char* source;
    TNoteRec note;
    int32_t reference;
    int32_t expected;
    bool active;
};

TEST(CalcNextDate, Rules) {
    const int32_t death = EncodeDate(2020, 8, 12);
    const int32_t done = EncodeDate(2024, 3, 15);
    const NextDateCase cases[] = {
        // Worked examples of the rules, reference day 10 June.
        {"yearly date in an earlier month", Note(5, 10, 2000), EncodeDate(2024, 6, 10),
         EncodeDate(2024, 5, 10), true},
        {"start year after the reference year", Note(5, 10, 2025), EncodeDate(2024, 6, 10),
         EncodeDate(2025, 5, 10), false},
        {"every-month period 5..15 around the reference day", Note(0, MakePeriodRule(5, 15), 2000),
         EncodeDate(2024, 6, 10), EncodeDate(2024, 6, 10), true},
        {"every-month period 1..5 already over", Note(0, MakePeriodRule(1, 5), 2000),
         EncodeDate(2024, 6, 10), EncodeDate(2024, 7, 1), true},
        // Month rules.
        {"month set {3,6} after June: January, year kept", Note(Months({3, 6}), 1, 2000),
         EncodeDate(2024, 7, 15), EncodeDate(2024, 1, 1), true},
        {"month set {3,6} in April: June", Note(Months({3, 6}), 1, 2000), EncodeDate(2024, 4, 15),
         EncodeDate(2024, 6, 1), true},
        {"month set {3,6} in March: March itself", Note(Months({3, 6}), 20, 2000),
         EncodeDate(2024, 3, 25), EncodeDate(2024, 3, 20), true},
        {"empty month set is January", Note(MonthSetFlag, 20, 2000), EncodeDate(2024, 4, 15),
         EncodeDate(2024, 1, 20), true},
        {"unknown month rule 13 is January", Note(13, 5, 2000), EncodeDate(2024, 4, 15),
         EncodeDate(2024, 1, 5), true},
        // Day rules.
        {"month end of February in a leap year", Note(2, DayRuleLastDay, 2000),
         EncodeDate(2024, 6, 1), EncodeDate(2024, 2, 29), true},
        {"month end of February in a common year", Note(2, DayRuleLastDay, 2000),
         EncodeDate(2023, 6, 1), EncodeDate(2023, 2, 28), true},
        {"month end of February 2100, not a leap year", Note(2, DayRuleLastDay, 2000),
         EncodeDate(2100, 6, 1), EncodeDate(2100, 2, 28), true},
        {"month end of February 2000, a leap year", Note(2, DayRuleLastDay, 1990),
         EncodeDate(2000, 6, 1), EncodeDate(2000, 2, 29), true},
        {"every month on the 31st in April: its last day", Note(0, 31, 2000),
         EncodeDate(2023, 4, 10), EncodeDate(2023, 4, 30), true},
        {"February 30 in a leap year: its last day", Note(2, 30, 2000), EncodeDate(2024, 1, 1),
         EncodeDate(2024, 2, 29), true},
        {"day rule 0 is day 1", Note(7, 0, 2000), EncodeDate(2024, 6, 10), EncodeDate(2024, 7, 1),
         true},
        {"day rule 33 is day 1", Note(7, 33, 2000), EncodeDate(2024, 6, 10), EncodeDate(2024, 7, 1),
         true},
        {"day rule 0xC000 is day 1", Note(7, 0xC000, 2000), EncodeDate(2024, 6, 10),
         EncodeDate(2024, 7, 1), true},
        // Period rules.
        {"period 10..20 after it: the 10th of next month", Note(0, MakePeriodRule(10, 20), 2000),
         EncodeDate(2024, 1, 25), EncodeDate(2024, 2, 10), true},
        {"period 10..20 after it in December: next January", Note(0, MakePeriodRule(10, 20), 2000),
         EncodeDate(2024, 12, 25), EncodeDate(2025, 1, 10), true},
        {"period 25..31 before it: its first day", Note(0, MakePeriodRule(25, 31), 2000),
         EncodeDate(2023, 2, 15), EncodeDate(2023, 2, 25), true},
        {"period 25..31 inside, reference day 28", Note(0, MakePeriodRule(25, 31), 2000),
         EncodeDate(2023, 2, 28), EncodeDate(2023, 2, 28), true},
        {"period 1..31 of February, reference day the 30th: February's last day",
         Note(2, MakePeriodRule(1, 31), 2000), EncodeDate(2023, 3, 30), EncodeDate(2023, 2, 28),
         true},
        // Week rules.
        {"second Tuesday from 1 March 2022, a Tuesday",
         Note(0, MakeWeekRule(kTuesday, kSecondWeek), 2000), EncodeDate(2022, 3, 1),
         EncodeDate(2022, 3, 8), true},
        {"second Tuesday from 9 March 2022: April's",
         Note(0, MakeWeekRule(kTuesday, kSecondWeek), 2000), EncodeDate(2022, 3, 9),
         EncodeDate(2022, 4, 12), true},
        {"empty sets: the reference day's day in the rule's month", Note(6, WeekRuleFlag, 2000),
         EncodeDate(2024, 3, 10), EncodeDate(2024, 6, 10), true},
        {"fifth-week Sunday from 30 Dec 2024: over the year end and February 2025",
         Note(0, MakeWeekRule(kSunday, kFifthWeek), 2000), EncodeDate(2024, 12, 30),
         EncodeDate(2025, 3, 30), true},
        {"week rule from day 31 in a 30-day month starts at its last day",
         Note(4, WeekRuleFlag, 2000), EncodeDate(2024, 5, 31), EncodeDate(2024, 4, 30), true},
        {"week rule after the end year: no end substitution", Note(0, WeekRuleFlag, 2000, 2023),
         EncodeDate(2024, 6, 10), EncodeDate(2023, 6, 10), false},
        // Reminders with an end year.
        {"done in its end year, occurrence passed: the day done", Note(3, 10, 2020, 2024, done),
         EncodeDate(2024, 3, 20), done, true},
        {"end year, occurrence still ahead", Note(3, 10, 2020, 2024, done), EncodeDate(2024, 3, 1),
         EncodeDate(2024, 3, 10), true},
        {"year after the end year: the day done, not active", Note(3, 10, 2020, 2024, done),
         EncodeDate(2025, 2, 1), done, false},
        {"open reminder past its end: day 0", Note(3, 10, 2020, 2024), EncodeDate(2024, 3, 20), 0,
         true},
        {"end year 0 means no end", Note(3, 10, 2020, 0), EncodeDate(2030, 3, 20),
         EncodeDate(2030, 3, 10), true},
        // Birthdays after a death on 12 August 2020.
        {"birthday in a later year: the day of death", Note(5, 3, 1970, 2020, death, NoteBirthday),
         EncodeDate(2024, 8, 1), death, false},
        {"year of death, birthday ahead", Note(5, 3, 1970, 2020, death, NoteBirthday),
         EncodeDate(2020, 4, 1), EncodeDate(2020, 5, 3), true},
        {"year of death, birthday passed", Note(5, 3, 1970, 2020, death, NoteBirthday),
         EncodeDate(2020, 6, 1), death, true},
        // Reference day 0, as the note editor and the note lists use it.
        {"reference day 0: date in the start year", Note(5, 3, 1970), 0, EncodeDate(1970, 5, 3),
         false},
        {"reference day 0, period 25..31: inside it on 30 December",
         Note(0, MakePeriodRule(25, 31), 2003), 0, EncodeDate(2003, 12, 30), false},
        {"reference day 0, period 10..20: 10 January of the next year",
         Note(0, MakePeriodRule(10, 20), 2003), 0, EncodeDate(2004, 1, 10), false},
        {"reference day 0, started and ended before 1899: its end date",
         Note(5, 3, 1850, 1880, EncodeDate(1880, 7, 1)), 0, EncodeDate(1880, 7, 1), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        TNoteRec note = c.note;
        EXPECT_EQ(CalcNextDate(note, c.reference), c.active);
        EXPECT_EQ(note.NextDate, c.expected);
    }
}

TEST(CalcNextDate, IgnoresTheTimeOfDay) {
    TNoteRec note = Note(0, MakePeriodRule(5, 15), 2000);
    EXPECT_TRUE(CalcNextDate(note, EncodeDate(2024, 6, 10) + 0.75));
    EXPECT_EQ(note.NextDate, EncodeDate(2024, 6, 10));
}

TEST(CalcNextDate, WeekRuleFindsEveryCombination) {
    // Every single week and weekday, from every day of two years: the found day matches the
    // rule, and no earlier day from the start does.
    for (int week = 0; week < 5; ++week) {
        for (int weekday = 0; weekday < 7; ++weekday) {
            TNoteRec note = Note(0, MakeWeekRule(1 << weekday, 1 << week), 2000);
            for (int32_t day = EncodeDate(2023, 1, 1); day < EncodeDate(2025, 1, 1); day += 5) {
                CalcNextDate(note, day);
                const auto found = static_cast<int32_t>(note.NextDate);
                ASSERT_GE(found, day);
                ASSERT_EQ((DecodeDate(found).Day - 1) / 7, week);
                ASSERT_EQ(DayOfWeek(found), weekday + 1);
                for (int32_t earlier = day; earlier < found; ++earlier) {
                    ASSERT_FALSE((DecodeDate(earlier).Day - 1) / 7 == week &&
                                 DayOfWeek(earlier) == weekday + 1);
                }
            }
        }
    }
}

TEST(HasEndYear, OnlyRealYears) {
    EXPECT_FALSE(HasEndYear(Note(1, 1, 2000, 0)));
    EXPECT_TRUE(HasEndYear(Note(1, 1, 2000, 1)));
    EXPECT_TRUE(HasEndYear(Note(1, 1, 2000, 9998)));
    EXPECT_FALSE(HasEndYear(Note(1, 1, 2000, NoEndYear)));
    EXPECT_FALSE(HasEndYear(Note(1, 1, 2000, 10000)));
}

TEST(RuleEncodings, MatchTheEditorsValues) {
    EXPECT_EQ(MakePeriodRule(10, 20), 17034);                     // 0x4000 + 20 * 32 + 10
    EXPECT_EQ(MakeWeekRule(1 << 6, (1 << 1) | (1 << 3)), 35392);  // 0x8000 + 0x0A00 + 0x40
    EXPECT_TRUE(IsPeriodRule(17034));
    EXPECT_TRUE(IsWeekRule(35392));
    EXPECT_FALSE(IsPeriodRule(0xC000));
    EXPECT_FALSE(IsWeekRule(0xC000));
}

struct TitleCase {
    const char* a;
    const char* b;
    int expected;
    const char* why;
};

TEST(TitleOrder, FoldsThenBreaksTies) {
    const TitleCase cases[] = {
        {"apple", "Banana", -1, "letter case is folded first"},
        {"B", "a", 1, "letter case is folded first"},
        {"A", "a", -1, "equal when folded: by code point, upper case first"},
        {"a", "a", 0, "equal texts"},
        {"Ａ", "b", -1, "full-width Ａ folds to a"},
        {"か", "キ", -1, "katakana folds to hiragana"},
        {"カ", "か", 1, "equal when folded: hiragana before katakana by code point"},
        {"ｶﾞ", "ぎ", -1, "half-width ｶ with its voiced mark folds to が"},
        {"ﾊﾟ", "ぱ", 1, "half-width ﾊﾟ folds to ぱ; tie by code point"},
        {"あ　い", "あ い", 1, "ideographic space folds to a space; tie by code point"},
        {"10", "9", -1, "digits by code point, not by value"},
        {"", "a", -1, "empty first"},
        {"表", "表示", -1, "0x5C second byte compared as a whole character"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const int r = CompareTitles(Sjis(c.a), Sjis(c.b));
        EXPECT_EQ((r > 0) - (r < 0), c.expected);
        const int back = CompareTitles(Sjis(c.b), Sjis(c.a));
        EXPECT_EQ((back > 0) - (back < 0), -c.expected);
    }
}

}  // namespace
