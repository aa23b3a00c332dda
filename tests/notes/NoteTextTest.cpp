#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "notes/NoteForm.h"
#include "notes/NoteList.h"
#include "notes/NoteText.h"
#include "storage/Clock.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"

namespace {

TNoteRec Note(uint8_t kind, uint16_t monthRule, uint16_t dayRule, uint16_t startYear,
              const char* title = "A", uint16_t endYear = NoEndYear, int32_t endDate = 0) {
    TNoteRec note;
    note.Kind = kind;
    note.MonthRule = monthRule;
    note.DayRule = dayRule;
    note.StartYear = startYear;
    note.EndYear = endYear;
    note.EndDate = endDate;
    note.Title = Sjis(title);
    return note;
}

std::string Utf8(const std::string& cp932) {
    return Cp932ToUtf8(cp932);
}

}  // namespace

TEST(DescribeNote, DateColumnByRule) {
    struct Case {
        TNoteRec note;
        bool isReminder;
        const char* expected;
    } cases[] = {
        {Note(NoteBirthday, 5, 3, 1970), false, "1970年 5月 3日"},
        {Note(NoteBirthday, 12, 25, 0), false, "----年12月25日"},  // birth year unknown
        {Note(NoteBirthday, 5, 3, 1970, "A", 2020, EncodeDate(2020, 8, 1)), false,
         "1970年 5月 3日"},
        // A reminder without a repeat rule comes back every year unless it ends in its year.
        {Note(NoteOpen, 5, 3, 2026), true, "毎年 5月 3日"},
        {Note(NoteOpen, 5, 3, 2026, "A", 2030), true, "毎年 5月 3日"},
        {Note(NoteOpen, 5, 3, 2026, "A", 2026), true, "2026年 5月 3日"},
        {Note(NoteDone, 5, 3, 2026, "A", 2026, EncodeDate(2026, 5, 1)), true, "2026年 5月 3日"},
        {Note(NoteOpen, 5, 3, 2026, "A", 0), true, "毎年 5月 3日"},  // 0 is no end
        // One month with a period shows the period's first day in that month, not the next
        // month that an occurrence seen from 30 December would give.
        {Note(NoteOpen, 5, MakePeriodRule(10, 20), 2026, "A", 2026), true, "2026年 5月10日"},
        {Note(NoteOpen, 5, MakePeriodRule(10, 20), 2026), true, "毎年 5月10日"},
        {Note(NoteOpen, 0, 15, 2026), true, "毎月15日"},
        {Note(NoteOpen, 0, 15, 2026, "A", 2026), true, "毎月15日"},
        {Note(NoteOpen, MonthSetFlag | 0x24, 7, 2026), true, "指定月 7日"},
        {Note(NoteOpen, 0, DayRuleLastDay, 2026), true, "毎月末"},
        {Note(NoteOpen, MonthSetFlag, DayRuleLastDay, 2026), true, "指定月末"},
        {Note(NoteOpen, 0, MakePeriodRule(5, 15), 2026), true, "毎月 5-15日"},
        {Note(NoteOpen, 0, MakeWeekRule(0x40, 0x0A), 2026), true, "毎月／週・曜日"},
        {Note(NoteOpen, 0, 0xC001, 2026), true, "不明？？？"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8(DescribeNoteDate(c.note, c.isReminder)), c.expected) << c.expected;
    }
}

TEST(DescribeNote, DoneReminderShowsTheDayItWasDone) {
    // Due on 10 May, ticked done on 8 May: the done mark carries 8 May.
    const TNoteRec done = Note(NoteDone, 5, 10, 2026, "歯医者", NoEndYear, EncodeDate(2026, 5, 8));
    EXPECT_EQ(Utf8(DescribeNoteTitle(done)), "歯医者【完了:2026年5月8日】");
    EXPECT_EQ(Utf8(TickedTitle(done.Title, EncodeDate(2026, 5, 8))), "歯医者【完了:26年5月8日】");
    EXPECT_EQ(Utf8(TickedTitle(done.Title, EncodeDate(2005, 1, 2))), "歯医者【完了:05年1月2日】");
    EXPECT_EQ(Utf8(DescribeNoteTitle(Note(NoteOpen, 5, 10, 2026, "歯医者"))), "歯医者");
}

TEST(MonthSummary, ReminderLineByDaysLeft) {
    const int32_t today = EncodeDate(2026, 3, 10);
    struct Case {
        int32_t next;
        const char* expected;
    } cases[] = {
        {today, "◆ 3/10: 会議 【 本日！】"},        {today - 1, "◆ 3/ 9: 会議 【 1日経過】"},
        {today - 12, "◆ 2/26: 会議 【12日経過】"},  {today + 1, "□ 3/11: 会議  [明日]"},
        {today + 2, "□ 3/12: 会議  [明後日]"},      {today + 3, "□ 3/13: 会議 (あと 3日)"},
        {today + 300, "□ 1/ 4: 会議 (あと 300日)"},
    };
    for (const Case& c : cases) {
        TNoteRec note = Note(NoteOpen, 0, 1, 2026, "会議");
        note.NextDate = c.next;
        EXPECT_EQ(Utf8(TodoSummaryLine(note, today)), c.expected) << c.expected;
    }
}

TEST(MonthSummary, AnniversaryLines) {
    const int32_t death = EncodeDate(2020, 8, 1);
    struct Case {
        const char* why;
        TNoteRec note;
        int shownYear;
        int32_t next;
        bool noDeathDays;
        const char* expected;
    } cases[] = {
        {"birthday", Note(NoteBirthday, 5, 3, 1970, "母"), 2026, EncodeDate(2026, 5, 3), false,
         "   3日│母 (56才)"},
        {"unknown birth year: no age", Note(NoteBirthday, 5, 3, 0, "祖父"), 2026,
         EncodeDate(2026, 5, 3), false, "   3日│祖父"},
        {"other kinds have no suffix", Note(7, 5, 3, 1970, "記念"), 2026, EncodeDate(2026, 5, 3),
         false, "   3日│記念"},
        // Born 10 May 1950, died 1 August 2020 at 70.
        {"year of death", Note(NoteBirthday, 5, 10, 1950, "父", 2020, death), 2020, death, false,
         "   1日│父 [命日(享年70才)]"},
        {"one year after", Note(NoteBirthday, 5, 10, 1950, "父", 2020, death), 2021, death, false,
         "   1日│父 [一周忌(享年70才)]"},
        {"two years after", Note(NoteBirthday, 5, 10, 1950, "父", 2020, death), 2022, death, false,
         "   1日│父 [三回忌(享年70才)]"},
        {"four years after: no service", Note(NoteBirthday, 5, 10, 1950, "父", 2020, death), 2024,
         death, false, "   1日│父 [祥月命日 没後4年(享年70才)]"},
        // Born in December, died in August before the birthday: 69, not 70.
        {"died before the birthday of that year",
         Note(NoteBirthday, 12, 10, 1950, "叔父", 2020, death), 2022, death, false,
         "   1日│叔父 [三回忌(享年69才)]"},
        {"died on the birthday", Note(NoteBirthday, 8, 1, 1950, "叔母", 2020, death), 2022, death,
         false, "   1日│叔母 [三回忌(享年70才)]"},
        {"memorial without a birth year", Note(NoteBirthday, 5, 10, 0, "祖母", 2020, death), 2026,
         death, false, "   1日│祖母 [七回忌]"},
        {"DEATHDISP leaves the day of death out",
         Note(NoteBirthday, 5, 10, 1950, "父", 2020, death), 2022, death, true, ""},
    };
    for (const Case& c : cases) {
        TNoteRec note = c.note;
        note.NextDate = c.next;
        EXPECT_EQ(Utf8(MemorySummaryLine(note, c.shownYear, c.noDeathDays)), c.expected) << c.why;
    }
}

// The services are named as they are held: N回忌 in the (N-1)th year after the death.
TEST(MonthSummary, MemorialServiceByYearsSinceTheDeath) {
    const int32_t death = EncodeDate(1970, 8, 1);
    const struct {
        int yearsSince;
        const char* service;
    } cases[] = {
        {0, "命日"},
        {1, "一周忌"},
        {2, "三回忌"},
        {3, "祥月命日 没後3年"},
        {4, "祥月命日 没後4年"},  // no 五回忌
        {5, "祥月命日 没後5年"},
        {6, "七回忌"},
        {7, "祥月命日 没後7年"},  // no 八回忌
        {12, "十三回忌"},
        {13, "祥月命日 没後13年"},
        {16, "十七回忌"},
        {22, "二十三回忌"},
        {26, "二十七回忌"},
        {32, "三十三回忌"},
        {33, "祥月命日 没後33年"},
        {49, "五十回忌"},
        {50, "祥月命日 没後50年"},
    };
    for (const auto& c : cases) {
        TNoteRec note = Note(NoteBirthday, 5, 10, 0, "祖母", 1970, death);
        note.NextDate = death;
        EXPECT_EQ(Utf8(MemorySummaryLine(note, 1970 + c.yearsSince, false)),
                  std::string("   1日│祖母 [") + c.service + "]")
            << c.yearsSince;
    }
}

TEST(MonthSummary, WholeSummaryInOrder) {
    const int32_t today = EncodeDate(2026, 3, 10);
    TNoteList todo;
    todo.AddNote(Note(NoteOpen, 3, 12, 2026, "b"));
    todo.AddNote(Note(NoteOpen, 3, 10, 2026, "a"));
    todo.AddNote(Note(NoteDone, 3, 11, 2026, "done", NoEndYear, today));
    TNoteList memory;
    memory.AddNote(Note(NoteBirthday, 3, 20, 2000, "c"));
    memory.AddNote(Note(NoteHidden, 3, 21, 2000, "hidden"));
    memory.AddNote(Note(NoteBirthday, 4, 1, 2000, "april"));

    const std::vector<std::string> lines =
        MonthSummary(todo, memory, today, EncodeDate(2026, 3, 1), false);
    std::vector<std::string> utf8;
    for (const std::string& line : lines) {
        utf8.push_back(Utf8(line));
    }
    EXPECT_EQ(utf8, (std::vector<std::string>{"◆ 3/10: a 【 本日！】", "□ 3/12: b  [明後日]",
                                              "━━━┯━━━━━━━━━━━━━━━━━━━", "  20日│c (26才)"}));

    // Nothing to separate: no lines at all; one side alone keeps the separator.
    TNoteList none;
    TNoteList noneEither;
    EXPECT_TRUE(MonthSummary(none, noneEither, today, EncodeDate(2026, 3, 1), false).empty());
    EXPECT_EQ(MonthSummary(none, memory, today, EncodeDate(2026, 3, 1), false),
              (std::vector<std::string>{SummarySeparator(), Sjis("  20日│c (26才)")}));
    EXPECT_EQ(MonthSummary(todo, noneEither, today, EncodeDate(2026, 3, 1), false).back(),
              SummarySeparator());
    // A memorial left out with DEATHDISP leaves nothing either.
    TNoteList memorial;
    memorial.AddNote(Note(NoteBirthday, 5, 10, 1950, "父", 2020, EncodeDate(2020, 3, 1)));
    EXPECT_TRUE(MonthSummary(none, memorial, today, EncodeDate(2026, 3, 1), true).empty());
    EXPECT_EQ(MonthSummary(none, memorial, today, EncodeDate(2026, 3, 1), false).size(), 2u);
}

TEST(TraditionalAge, LongLifeCelebrationsByCount) {
    const struct {
        int birthYear;
        int year;
        const char* full;     // held by 満年齢
        const char* counted;  // held by 数え年
    } cases[] = {
        // 還暦 falls in the year of 満60, which is 数え61: the same year in both counts.
        {1966, 2026, "還暦", "還暦"},
        {1967, 2026, "", ""},
        {1965, 2026, "", ""},
        // The others come a year earlier counted.
        {1957, 2026, "", "古希"},
        {1956, 2026, "古希", ""},
        {1950, 2026, "", "喜寿"},
        {1949, 2026, "喜寿", ""},
        {1947, 2026, "", "傘寿"},
        {1946, 2026, "傘寿", ""},
        {1939, 2026, "", "米寿"},
        {1938, 2026, "米寿", ""},
        {1937, 2026, "", "卒寿"},
        {1936, 2026, "卒寿", ""},
        {1928, 2026, "", "白寿"},
        {1927, 2026, "白寿", "百寿"},
        {1926, 2026, "百寿", ""},
        {2026, 2026, "", ""},  // the year of birth
    };
    for (const auto& c : cases) {
        const char* full = LongLifeCelebration(c.birthYear, c.year, TAgeCount::Full);
        const char* counted = LongLifeCelebration(c.birthYear, c.year, TAgeCount::Counted);
        EXPECT_STREQ(full ? full : "", c.full) << c.birthYear;
        EXPECT_STREQ(counted ? counted : "", c.counted) << c.birthYear;
    }
    EXPECT_EQ(CountedAge(2026, 2026), 1);
    EXPECT_EQ(CountedAge(1966, 2026), 61);
}

TEST(TraditionalAge, SummaryLinesWithCountedAges) {
    const int32_t death = EncodeDate(2020, 8, 1);
    const TAgeOptions plain{};
    const TAgeOptions beside{true, TAgeCount::Full};
    const TAgeOptions counted{false, TAgeCount::Counted};
    struct Case {
        const char* why;
        TNoteRec note;
        int32_t next;
        TAgeOptions ages;
        const char* expected;
    } cases[] = {
        {"counted age beside", Note(NoteBirthday, 5, 3, 1970, "母"), EncodeDate(2026, 5, 3), beside,
         "   3日│母 (56才 数え57)"},
        {"year of birth", Note(NoteBirthday, 5, 3, 2026, "孫"), EncodeDate(2026, 5, 3), beside,
         "   3日│孫 (0才 数え1)"},
        {"還暦 at 満60", Note(NoteBirthday, 5, 3, 1966, "父"), EncodeDate(2026, 5, 3), plain,
         "   3日│父 (60才)【還暦】"},
        {"還暦 at 数え61 is the same year", Note(NoteBirthday, 5, 3, 1966, "父"),
         EncodeDate(2026, 5, 3), counted, "   3日│父 (60才)【還暦】"},
        {"古希 counted comes at 満69", Note(NoteBirthday, 5, 3, 1957, "伯父"),
         EncodeDate(2026, 5, 3), counted, "   3日│伯父 (69才)【古希】"},
        {"not yet 古希 in full years", Note(NoteBirthday, 5, 3, 1957, "伯父"),
         EncodeDate(2026, 5, 3), plain, "   3日│伯父 (69才)"},
        // Born on 29 February: the year's occurrence in a common year still counts that year.
        {"29 February in a common year", Note(NoteBirthday, 2, 29, 1948, "祖母"),
         EncodeDate(2026, 2, 28), beside, "  28日│祖母 (78才 数え79)"},
        {"29 February, 米寿 counted", Note(NoteBirthday, 2, 29, 1936, "曾祖母"),
         EncodeDate(2023, 2, 28), counted, "  28日│曾祖母 (87才)【米寿】"},
        {"no birth year: no age, no celebration", Note(NoteBirthday, 5, 3, 0, "祖父"),
         EncodeDate(2026, 5, 3), counted, "   3日│祖父"},
        // Born 10 December 1950, died 1 August 2020: 満69, 数え71.
        {"享年 in full years", Note(NoteBirthday, 12, 10, 1950, "叔父", 2020, death), death, plain,
         "   1日│叔父 [三回忌(享年69才)]"},
        {"享年 counted", Note(NoteBirthday, 12, 10, 1950, "叔父", 2020, death), death, counted,
         "   1日│叔父 [三回忌(享年71才)]"},
        {"died in the year of birth", Note(NoteBirthday, 3, 1, 2020, "子", 2020, death), death,
         counted, "   1日│子 [三回忌(享年1才)]"},
    };
    for (const Case& c : cases) {
        TNoteRec note = c.note;
        note.NextDate = c.next;
        EXPECT_EQ(Utf8(MemorySummaryLine(note, 2022, false, c.ages)), c.expected) << c.why;
    }
}

// The editor's form of a note and back, untouched: the note must come back as it was.
TEST(NoteForm, UntouchedNoteComesBackUnchanged) {
    const int32_t today = EncodeDate(2026, 3, 10);
    struct Case {
        const char* why;
        TNoteRec note;
        bool isReminder;
    } cases[] = {
        // Seen from 30 December 1899 this opened on 10 January 2004 and was stored in 2004.
        {"every month, 10th to 20th, from 2003", Note(NoteOpen, 0, MakePeriodRule(10, 20), 2003),
         true},
        // ... and this opened on the 30th, storing 30 as the period's first day.
        {"every month, 25th to 31st", Note(NoteOpen, 0, MakePeriodRule(25, 31), 2003), true},
        {"one month, 10th to 20th", Note(NoteOpen, 5, MakePeriodRule(10, 20), 2003), true},
        {"chosen months, month end", Note(NoteOpen, MonthSetFlag | 0x0881, DayRuleLastDay, 2010),
         true},
        {"second and fourth Saturdays", Note(NoteOpen, 0, MakeWeekRule(0x40, 0x0A), 2010), true},
        {"every month on the 31st", Note(NoteOpen, 0, 31, 2010), true},
        {"reminder ending in 2030", Note(NoteOpen, 6, 1, 2010, "A", 2030), true},
        {"birthday of unknown year", Note(NoteBirthday, 2, 29, 0), false},
        {"birthday before 1899", Note(NoteBirthday, 7, 7, 1850), false},
        {"hidden birthday of a person who died",
         Note(NoteHidden, 5, 10, 1950, "A", 2020, EncodeDate(2020, 8, 1)), false},
    };
    for (const Case& c : cases) {
        const TNoteForm form = NoteToForm(c.note, c.isReminder, today);
        const TNoteRec back = FormToNote(c.note, form, form, c.isReminder);
        EXPECT_EQ(back.MonthRule, c.note.MonthRule) << c.why;
        EXPECT_EQ(back.DayRule, c.note.DayRule) << c.why;
        EXPECT_EQ(back.StartYear, c.note.StartYear) << c.why;
        EXPECT_EQ(back.EndYear, c.note.EndYear) << c.why;
        EXPECT_EQ(back.EndDate, c.note.EndDate) << c.why;
        EXPECT_EQ(back.Kind, c.note.Kind) << c.why;
        EXPECT_EQ(back.Title, c.note.Title) << c.why;
    }
}

// A reminder once only is one that ends in its own year: no other reader of the file shows it
// in a later year either.
TEST(NoteForm, OnceOnlyReminderEndsInItsYear) {
    const int32_t today = EncodeDate(2026, 3, 10);
    const struct {
        const char* why;
        TNoteRec note;
        bool loadedOnce;
        bool once;  // the choice confirmed
        TYmd date;  // the date confirmed; Year 0: untouched
        uint16_t startYear;
        uint16_t endYear;
    } cases[] = {
        {"yearly made once", Note(NoteOpen, 5, 3, 2026), false, true, {}, 2026, 2026},
        {"once, untouched", Note(NoteOpen, 5, 3, 2026, "A", 2026), true, true, {}, 2026, 2026},
        {"once, moved to next year",
         Note(NoteOpen, 5, 3, 2026, "A", 2026),
         true,
         true,
         {2027, 1, 8},
         2027,
         2027},
        {"once made yearly",
         Note(NoteOpen, 5, 3, 2026, "A", 2026),
         true,
         false,
         {},
         2026,
         NoEndYear},
        {"a done once-only reminder",
         Note(NoteDone, 5, 3, 2026, "A", 2026, today),
         true,
         true,
         {},
         2026,
         2026},
        {"ending in a later year is yearly",
         Note(NoteOpen, 5, 3, 2026, "A", 2030),
         false,
         false,
         {},
         2026,
         2030},
        {"once from before 1899 keeps its years",
         Note(NoteOpen, 5, 3, 1850, "A", 1850),
         true,
         true,
         {},
         1850,
         1850},
    };
    for (const auto& c : cases) {
        const TNoteForm loaded = NoteToForm(c.note, true, today);
        EXPECT_EQ(loaded.Once, c.loadedOnce) << c.why;
        EXPECT_FALSE(loaded.Repeat) << c.why;
        TNoteForm edited = loaded;
        edited.Once = c.once;
        if (c.date.Year != 0) {
            edited.Date = c.date;
        }
        const TNoteRec back = FormToNote(c.note, loaded, edited, true);
        EXPECT_EQ(back.StartYear, c.startYear) << c.why;
        EXPECT_EQ(back.EndYear, c.endYear) << c.why;
        EXPECT_EQ(IsOnceOnly(back), c.once) << c.why;
    }
}

TEST(NoteForm, ChangedDateIsStored) {
    const TNoteRec note = Note(NoteOpen, 0, MakePeriodRule(10, 20), 2003);
    const TNoteForm loaded = NoteToForm(note, true, EncodeDate(2026, 3, 10));
    TNoteForm edited = loaded;
    edited.Date = {2026, 4, 12};
    edited.PeriodLast = 25;
    const TNoteRec back = FormToNote(note, loaded, edited, true);
    EXPECT_EQ(back.StartYear, 2026);
    EXPECT_EQ(back.MonthRule, 0);
    EXPECT_EQ(back.DayRule, MakePeriodRule(12, 25));
}
