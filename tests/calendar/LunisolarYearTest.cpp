#include "calendar/LunisolarYear.h"

#include <gtest/gtest.h>

#include "storage/DayNumber.h"

namespace {

constexpr int32_t kDayNumberOfDayZero = 2415018;

int32_t Day(int year, int month, int day) {
    return EncodeDate(year, month, day) + kDayNumberOfDayZero;
}

TEST(LunisolarYear, MonthsFromWinterSolsticeToWinterSolstice) {
    struct {
        const char* source;
        int year;
        size_t months;
        int leapAfter;  // number of the month before the leap month, 0 for none
        int32_t first;  // first day of the 11th month holding the winter solstice of year - 1
    } const cases[] = {
        // 冬至 2033-12-21; 11月 begins with the new moon of 2033-11-22, 閏11月 on 12-22.
        {"2033 (13 months, 閏11月)", 2034, 13, 11, Day(2033, 11, 22)},
        {"2033 without 閏7月", 2033, 12, 0, Day(2032, 12, 3)},
        {"2023 閏2月", 2023, 13, 2, Day(2022, 11, 24)},
        {"2025 閏6月", 2025, 13, 6, Day(2024, 12, 1)},
        {"2024 has none", 2024, 12, 0, Day(2023, 12, 13)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const TLunisolarYear year(c.year);
        ASSERT_EQ(year.Months().size(), c.months);
        EXPECT_EQ(year.FirstDay(), c.first);
        EXPECT_EQ(year.Months().front().Month, 11);
        int leapAfter = 0;
        for (size_t i = 0; i < year.Months().size(); ++i) {
            const TLunarMonth& month = year.Months()[i];
            const int32_t end =
                i + 1 < year.Months().size() ? year.Months()[i + 1].First : year.EndDay();
            EXPECT_TRUE(end - month.First == 29 || end - month.First == 30) << i;
            if (month.Leap) {
                EXPECT_EQ(leapAfter, 0) << "a second leap month";
                leapAfter = year.Months()[i - 1].Month;
                EXPECT_EQ(month.Month, leapAfter);
            }
        }
        EXPECT_EQ(leapAfter, c.leapAfter);
        // The next year begins where this one ends.
        EXPECT_EQ(TLunisolarYear(c.year + 1).FirstDay(), year.EndDay());
    }
}

TEST(LunisolarYear, MonthAndTermOfADay) {
    const TLunisolarYear year(2025);
    EXPECT_EQ(year.MonthOf(Day(2025, 7, 24)).Month, 6);
    EXPECT_FALSE(year.MonthOf(Day(2025, 7, 24)).Leap);
    EXPECT_TRUE(year.MonthOf(Day(2025, 7, 25)).Leap);
    EXPECT_EQ(year.MonthOf(year.FirstDay()).First, year.FirstDay());
    EXPECT_EQ(year.MonthOf(year.EndDay() - 1).Month, 10);
    EXPECT_EQ(year.SolarTermOf(Day(2025, 3, 20)), 0);   // 春分
    EXPECT_EQ(year.SolarTermOf(Day(2025, 8, 23)), 10);  // 処暑
    EXPECT_EQ(year.SolarTermOf(Day(2025, 8, 22)), -1);
}

TEST(LunisolarCache, FindsTheYearOfEveryDayAcrossTheTurn) {
    TLunisolarCache cache;
    const TLunisolarYear& y2025 = cache.YearOf(Day(2025, 6, 1));
    EXPECT_EQ(y2025.Year(), 2025);
    // 11月 of 2025 begins 2025-12-20, before 冬至 (12-22), and belongs to the next year.
    EXPECT_EQ(cache.YearOf(Day(2025, 12, 19)).Year(), 2025);
    EXPECT_EQ(cache.YearOf(Day(2025, 12, 20)).Year(), 2026);
    EXPECT_EQ(cache.YearOf(Day(2026, 1, 1)).Year(), 2026);
    // More years than it keeps, then back.
    for (int year = 2000; year < 2010; ++year) {
        EXPECT_EQ(cache.YearOf(Day(year, 7, 1)).Year(), year);
    }
    EXPECT_EQ(cache.YearOf(Day(2025, 6, 1)).Year(), 2025);
}

}  // namespace
