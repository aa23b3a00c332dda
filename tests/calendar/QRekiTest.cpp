#include "calendar/QReki.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "calendar/LunisolarYear.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"

namespace {

constexpr int kAnyTerm = -2;

struct OldDateCase {
    const char* source;
    int year, month, day;  // Gregorian
    int oldYear, oldMonth;
    bool leap;
    int oldDay;
    const char* rokuyo;  // UTF-8
    int solarTerm;
};

void ExpectOldDate(const OldDateCase& c) {
    TKyureki k;
    k.Calculate(EncodeDate(c.year, c.month, c.day));
    SCOPED_TRACE(c.source);
    EXPECT_EQ(k.Year(), c.oldYear);
    EXPECT_EQ(k.Month(), c.oldMonth);
    EXPECT_EQ(k.Leap(), c.leap);
    EXPECT_EQ(k.Day(), c.oldDay);
    EXPECT_EQ(Cp932ToUtf8(k.RokuyoName()), c.rokuyo);
    if (c.solarTerm != kAnyTerm) {
        EXPECT_EQ(k.SolarTerm(), c.solarTerm);
    }
}

TEST(Kyureki, ReferenceValues) {
    // Values the steps of the calculation give, 2025-07-25 with the next principal term searched
    // from 33 days after the previous one.
    const OldDateCase cases[] = {
        {"reference table", 2023, 1, 22, 2023, 1, false, 1, "先勝", -1},
        {"reference table", 2023, 3, 21, 2023, 2, false, 30, "先勝", 0},
        {"reference table", 2023, 3, 22, 2023, 2, true, 1, "友引", -1},
        {"reference table", 2023, 4, 20, 2023, 3, false, 1, "先負", 2},
        {"reference table", 2024, 12, 21, 2024, 11, false, 21, "先勝", 18},
        {"reference table", 2000, 1, 1, 1999, 11, false, 25, "大安", -1},
        {"reference table", 2033, 12, 22, 2033, 11, true, 1, "大安", -1},
        {"reference table", 2034, 1, 20, 2033, 12, false, 1, "赤口", 20},
        {"reference table, 閏6月1日 on every Japanese calendar", 2025, 7, 25, 2025, 6, true, 1,
         "赤口", -1},
    };
    for (const auto& c : cases) {
        ExpectOldDate(c);
    }
}

TEST(Kyureki, PublishedOldCalendarDates) {
    const OldDateCase cases[] = {
        {"旧正月 2020 (Lunar New Year)", 2020, 1, 25, 2020, 1, false, 1, "先勝", kAnyTerm},
        {"旧正月 2022", 2022, 2, 1, 2022, 1, false, 1, "先勝", kAnyTerm},
        {"旧正月 2023", 2023, 1, 22, 2023, 1, false, 1, "先勝", kAnyTerm},
        {"旧正月 2024", 2024, 2, 10, 2024, 1, false, 1, "先勝", kAnyTerm},
        {"旧正月 2025", 2025, 1, 29, 2025, 1, false, 1, "先勝", kAnyTerm},
        {"旧正月 2026", 2026, 2, 17, 2026, 1, false, 1, "先勝", kAnyTerm},
        {"the day before 旧正月 2024 is 12月30日 of the old year", 2024, 2, 9, 2023, 12, false, 30,
         "大安", kAnyTerm},
        {"閏3月 2012 (Japanese tables)", 2012, 4, 21, 2012, 3, true, 1, "先負", kAnyTerm},
        {"閏9月 2014: 後の十三夜 on 2014-11-05", 2014, 11, 5, 2014, 9, true, 13, "先負", kAnyTerm},
        {"閏5月 2017 (Japan; China had 閏六月)", 2017, 6, 24, 2017, 5, true, 1, "大安", kAnyTerm},
        {"6月1日 2017 after 閏5月", 2017, 7, 23, 2017, 6, false, 1, "赤口", kAnyTerm},
        {"閏4月 2020", 2020, 5, 23, 2020, 4, true, 1, "仏滅", kAnyTerm},
        {"5月1日 2020 after 閏4月", 2020, 6, 21, 2020, 5, false, 1, "大安", kAnyTerm},
        {"閏2月 2023", 2023, 3, 22, 2023, 2, true, 1, "友引", kAnyTerm},
        {"閏6月 2025, last day", 2025, 8, 22, 2025, 6, true, 29, "仏滅", kAnyTerm},
        {"7月1日 2025 after 閏6月", 2025, 8, 23, 2025, 7, false, 1, "先勝", kAnyTerm},
        {"中秋の名月 2020 (8月15日)", 2020, 10, 1, 2020, 8, false, 15, "仏滅", kAnyTerm},
        {"中秋の名月 2021", 2021, 9, 21, 2021, 8, false, 15, "仏滅", kAnyTerm},
        {"中秋の名月 2022", 2022, 9, 10, 2022, 8, false, 15, "仏滅", kAnyTerm},
        {"中秋の名月 2023", 2023, 9, 29, 2023, 8, false, 15, "仏滅", kAnyTerm},
        {"中秋の名月 2024", 2024, 9, 17, 2024, 8, false, 15, "仏滅", kAnyTerm},
        {"中秋の名月 2025", 2025, 10, 6, 2025, 8, false, 15, "仏滅", kAnyTerm},
        {"夏至 2024-06-21, 5月1日 was 06-06", 2024, 6, 21, 2024, 5, false, 16, "友引", 6},
        {"秋分 2024-09-22, 8月1日 was 09-03", 2024, 9, 22, 2024, 8, false, 20, "先負", 12},
        {"立春 2025-02-03, 旧正月 01-29", 2025, 2, 3, 2025, 1, false, 6, "赤口", 21},
    };
    for (const auto& c : cases) {
        ExpectOldDate(c);
    }
}

TEST(Kyureki, LeapMonthsAndMidAutumnOfPublishedTables) {
    const OldDateCase cases[] = {
        {"国立天文台 暦計算室, 旧暦の閏月: 1984年 閏10月", 1984, 11, 23, 1984, 10, true, 1, "仏滅",
         kAnyTerm},
        {"国立天文台 暦計算室, 旧暦の閏月: 2028年 閏5月", 2028, 6, 23, 2028, 5, true, 1, "大安",
         kAnyTerm},
        {"国立天文台 暦計算室, 旧暦の閏月: 2031年 閏3月", 2031, 4, 22, 2031, 3, true, 1, "先負",
         kAnyTerm},
        {"2033年問題: 閏11月 (日本カレンダー暦文化振興協会, 国立天文台 暦計算室)", 2033, 12, 22,
         2033, 11, true, 1, "大安", kAnyTerm},
        {"2033年問題: 2033-08-25 は8月1日, 閏7月はない", 2033, 8, 25, 2033, 8, false, 1, "友引",
         kAnyTerm},
        {"2033年問題: 2033-11-22 は11月1日", 2033, 11, 22, 2033, 11, false, 1, "大安", kAnyTerm},
        {"国立天文台 暦計算室, 中秋の名月 2026-09-25", 2026, 9, 25, 2026, 8, false, 15, "仏滅",
         kAnyTerm},
        {"国立天文台 暦計算室, 中秋の名月 2027-09-15", 2027, 9, 15, 2027, 8, false, 15, "仏滅",
         kAnyTerm},
        {"国立天文台 暦計算室, 中秋の名月 2028-10-03", 2028, 10, 3, 2028, 8, false, 15, "仏滅",
         kAnyTerm},
        {"国立天文台 暦計算室, 中秋の名月 2029-09-22", 2029, 9, 22, 2029, 8, false, 15, "仏滅",
         kAnyTerm},
        {"国立天文台 暦計算室, 中秋の名月 2030-09-12", 2030, 9, 12, 2030, 8, false, 15, "仏滅",
         kAnyTerm},
    };
    for (const auto& c : cases) {
        ExpectOldDate(c);
    }
}

TEST(Kyureki, NewMoonsJustBeforeMidnightBeginTheirDay) {
    // A new moon a minute or two before local midnight makes that day the 1st. The moments:
    // 2017 from 国立天文台 暦要項 平成29年 (朔 2月26日 23時58分); the others from the new-moon
    // series of Meeus, Astronomical Algorithms ch. 49, which PyEphem confirms to the minute
    // (tools/calendar/compare_ephem.py).
    const OldDateCase cases[] = {
        {"朔 1908-09-25 23:59", 1908, 9, 25, 1908, 9, false, 1, "先負", kAnyTerm},
        {"the day before", 1908, 9, 24, 1908, 8, false, 29, "赤口", kAnyTerm},
        {"暦要項 2017: 朔 2017-02-26 23:58", 2017, 2, 26, 2017, 2, false, 1, "友引", kAnyTerm},
        {"the day before", 2017, 2, 25, 2017, 1, false, 29, "大安", kAnyTerm},
        {"朔 2051-11-03 23:59", 2051, 11, 3, 2051, 10, false, 1, "仏滅", kAnyTerm},
        {"朔 2074-08-22 23:59", 2074, 8, 22, 2074, 7, false, 1, "先勝", kAnyTerm},
        {"朔 2097-01-13 23:59", 2097, 1, 13, 2096, 12, false, 1, "赤口", kAnyTerm},
    };
    for (const auto& c : cases) {
        ExpectOldDate(c);
    }
}

TEST(Kyureki, RokuyoKindAndMonthName) {
    struct {
        const char* source;
        int year, month, day;
        int kind;
        const char* monthName;
    } const cases[] = {
        {"大安: 2000-01-01 is 11月25日", 2000, 1, 1, 1, "睦月"},
        {"仏滅: 中秋 2023 is 8月15日", 2023, 9, 29, 2, "長月"},
        {"先勝: 旧正月 2024", 2024, 2, 10, 0, "如月"},
        {"赤口, Gregorian month, not the old one", 2025, 7, 25, 0, "文月"},
        {"March shows 弥生 in an old leap 2nd month", 2023, 3, 22, 0, "弥生"},
        {"December", 2024, 12, 21, 0, "師走"},
    };
    TKyureki k;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        k.Calculate(EncodeDate(c.year, c.month, c.day));
        EXPECT_EQ(k.RokuyoKind(), c.kind);
        EXPECT_EQ(Cp932ToUtf8(k.MonthName()), c.monthName);
    }
}

TEST(Kyureki, TimeOfDayIsIgnored) {
    TKyureki morning;
    TKyureki evening;
    const int32_t day = EncodeDate(2025, 7, 24);
    morning.Calculate(day);
    evening.Calculate(day + 0.99);
    EXPECT_EQ(evening.Date(), day + 0.99);
    EXPECT_EQ(evening.Month(), morning.Month());
    EXPECT_EQ(evening.Day(), morning.Day());
    EXPECT_EQ(evening.Day(), 30);  // 6月 of 2025 began with the new moon of 06-25
}

// Walks every day from first to last: fields in range, and each day follows the one before it:
// the next day of the same month, or day 1 of the next month or of the leap month after it, with
// the old year turning at month 1; months of 29 or 30 days and at most one leap month in an old
// year. Returns the number of leap months begun.
int WalkDays(int32_t first, int32_t last) {
    TKyureki k;
    k.Calculate(first);
    int month = k.Month();
    int day = k.Day();
    int year = k.Year();
    bool leap = k.Leap();
    int leapMonths = 0;
    int leapYear = 0;
    for (int32_t n = first + 1; n <= last; ++n) {
        k.Calculate(n);
        EXPECT_GE(k.Day(), 1) << n;
        EXPECT_LE(k.Day(), 30) << n;
        EXPECT_GE(k.Month(), 1) << n;
        EXPECT_LE(k.Month(), 12) << n;
        const bool sameMonth = k.Month() == month && k.Leap() == leap && k.Day() == day + 1;
        const bool nextMonth =
            k.Day() == 1 && day >= 29 && !k.Leap() && k.Month() == month % 12 + 1;
        const bool leapMonth = k.Day() == 1 && day >= 29 && k.Leap() && !leap && k.Month() == month;
        EXPECT_TRUE(sameMonth || nextMonth || leapMonth)
            << n << ": " << (k.Leap() ? "leap " : "") << k.Month() << "/" << k.Day() << " after "
            << month << "/" << day;
        const bool newYear = nextMonth && k.Month() == 1;
        EXPECT_EQ(k.Year(), newYear ? year + 1 : year) << n;
        if (leapMonth) {
            EXPECT_NE(leapYear, k.Year()) << n << ": a second leap month in the old year";
            leapYear = k.Year();
            ++leapMonths;
        }
        month = k.Month();
        day = k.Day();
        year = k.Year();
        leap = k.Leap();
        if (::testing::Test::HasFailure()) {
            break;
        }
    }
    return leapMonths;
}

TEST(Kyureki, EveryDayFrom1900To2100FollowsTheDayBefore) {
    // 74 leap months from 1900 to 2100. The short series counted 75: 2033 had a second leap
    // month (閏7月 as well as 閏11月).
    EXPECT_EQ(WalkDays(EncodeDate(1900, 1, 1), EncodeDate(2100, 12, 31)), 74);
}

TEST(Kyureki, TheYearBeforeAndAfterFollowTheDayBefore) {
    // The grid shows days of December 1899 and January 2101 around its range.
    EXPECT_EQ(kKyurekiFirstDay, EncodeDate(1899, 1, 1));
    EXPECT_EQ(kKyurekiLastDay, EncodeDate(2101, 12, 31));
    WalkDays(kKyurekiFirstDay, EncodeDate(1900, 1, 31));
    WalkDays(EncodeDate(2100, 12, 1), kKyurekiLastDay);
}

TEST(Kyureki, DaysBeforeDayZeroAreReckoned) {
    // A day before 1899-12-30 is a negative day number; read as unsigned it would be far out.
    const OldDateCase cases[] = {
        {"旧正月 1900 (Lunar New Year 1900-01-31)", 1900, 1, 31, 1900, 1, false, 1, "先勝",
         kAnyTerm},
        {"1899-12-29, day -1", 1899, 12, 29, 1899, 11, false, 27, "先勝", kAnyTerm},
    };
    for (const auto& c : cases) {
        ExpectOldDate(c);
    }
}

TEST(Kyureki, DaysOutsideTheReckonedYearsHaveNoOldDate) {
    const double cases[] = {
        kKyurekiFirstDay - 1,
        kKyurekiLastDay + 1,
        kKyurekiFirstDay - 1e-9,
        -1000000,
        4294967295.0,  // day -1 read as an unsigned number
        std::numeric_limits<int32_t>::min(),
        std::numeric_limits<int32_t>::max(),
        std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
    };
    TKyureki k;
    for (const double date : cases) {
        SCOPED_TRACE(date);
        k.Calculate(EncodeDate(2023, 3, 22));
        k.Calculate(date);
        EXPECT_EQ(k.Year(), 0);
        EXPECT_EQ(k.Month(), 0);
        EXPECT_EQ(k.Day(), 0);
        EXPECT_FALSE(k.Leap());
        EXPECT_EQ(k.SolarTerm(), -1);
        EXPECT_EQ(k.RokuyoName(), "");
        EXPECT_EQ(k.RokuyoKind(), 0);
        EXPECT_EQ(k.MonthName(), "");
    }
}

// The old date and the solar term of the day the window opens on come from one reckoning of
// its year, whichever asks first and however many calculators there are.
TEST(Kyureki, CalculatorsAndSolarTermsShareTheThreadsYears) {
    struct Case {
        const char* what;
        int year, month, day;
        size_t reckoned;  // years worked out for the old dates and the solar term together
    };
    const Case cases[] = {
        {"a summer day", 2026, 7, 1, 1},
        // Its Gregorian year is tried first.
        {"the 11th month begins before 冬至 and opens the next year", 2025, 12, 20, 2},
        {"the last day of the year before it", 2025, 12, 19, 1},
    };
    for (const Case& c : cases) {
        for (const bool termFirst : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (termFirst ? ", term first" : ", old date first"));
            // A thread of its own starts with nothing reckoned.
            std::thread([&c, termFirst] {
                const TLunisolarCache& cache = ThreadLunisolarCache();
                const int32_t date = EncodeDate(c.year, c.month, c.day);
                TKyureki shown;
                if (termFirst)
                    SolarTermOfDay(date + kDayNumberOffset);
                else
                    shown.Calculate(date);
                // Whichever asked first left the year in the thread's cache...
                EXPECT_EQ(cache.Reckoned(), c.reckoned);
                // ...where the other and a second calculator find it.
                shown.Calculate(date);
                const int term = SolarTermOfDay(date + kDayNumberOffset);
                TKyureki grid;
                grid.Calculate(date);
                EXPECT_EQ(cache.Reckoned(), c.reckoned);
                EXPECT_EQ(grid.Day(), shown.Day());
                EXPECT_EQ(term, shown.SolarTerm());
            }).join();
        }
    }
}

// Worker threads (the search, the past years, the almanac) reckon old dates beside the window:
// each keeps its own years and gets what one thread alone gets, also while the years it keeps
// turn over.
TEST(Kyureki, ThreadsReckonTheSameOldDates) {
    std::vector<int32_t> days;
    for (int year = 1990; year <= 2030; year += 3)
        for (int month = 1; month <= 12; month += 5)
            days.push_back(EncodeDate(year, month, 2 * month));
    struct Found {
        int32_t year, month, day, term;
        bool leap;
        bool operator==(const Found&) const = default;
    };
    const auto reckon = [&days](size_t start) {
        std::vector<Found> found(days.size());
        TKyureki k;
        for (size_t i = 0; i < days.size(); ++i) {
            // Every day once, in an order of the thread's own.
            const size_t at = (start + i * 5) % days.size();
            k.Calculate(days[at]);
            found[at] = {k.Year(), k.Month(), k.Day(), SolarTermOfDay(days[at] + kDayNumberOffset),
                         k.Leap()};
        }
        return found;
    };
    ASSERT_EQ(std::gcd(days.size(), size_t{5}), 1u);
    const std::vector<Found> alone = reckon(0);
    std::vector<std::vector<Found>> results(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t)
        threads.emplace_back([&, t] { results[t] = reckon(t * 5 + 1); });
    for (std::thread& thread : threads)
        thread.join();
    for (size_t t = 0; t < results.size(); ++t)
        EXPECT_TRUE(results[t] == alone) << "thread " << t;
}

TEST(SolarTermOfDay, EquinoxesAndSolsticesOfPublishedAlmanacs) {
    struct {
        const char* source;
        int year, month, day, term;
    } const cases[] = {
        {"春分の日 2024-03-20", 2024, 3, 20, 0},
        {"春分の日 2023-03-21", 2023, 3, 21, 0},
        {"秋分の日 2012-09-22", 2012, 9, 22, 12},
        {"秋分の日 1979-09-24", 1979, 9, 24, 12},
        {"秋分の日 2025-09-23", 2025, 9, 23, 12},
        {"冬至 2024-12-21", 2024, 12, 21, 18},
        {"夏至 2025-06-21", 2025, 6, 21, 6},
        {"処暑 2025-08-23", 2025, 8, 23, 10},
        {"立春 2021-02-03 (not the 4th)", 2021, 2, 3, 21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const int32_t n = EncodeDate(c.year, c.month, c.day) + kDayNumberOffset;
        EXPECT_EQ(SolarTermOfDay(n), c.term);
        EXPECT_EQ(SolarTermOfDay(n - 1), -1);
        EXPECT_EQ(SolarTermOfDay(n + 1), -1);
    }
}

TEST(TermBefore, FindsTheTermJustBeforeTheMoment) {
    // 処暑 of 2025 begins in the morning of 08-23; from midnight of 08-23 the last multiple of
    // 30 degrees is still 大暑 (07-22), from midnight of 08-24 it is 処暑 itself.
    TKyureki k;
    const int32_t taisho = EncodeDate(2025, 7, 22) + kDayNumberOffset;
    EXPECT_EQ(k.TermBefore(30, taisho + 32), taisho);
    EXPECT_EQ(k.TermAngle(), 120);
    EXPECT_EQ(k.TermBefore(30, taisho + 33), EncodeDate(2025, 8, 23) + kDayNumberOffset);
    EXPECT_EQ(k.TermAngle(), 150);
    EXPECT_EQ(k.TermBefore(90, taisho), EncodeDate(2025, 6, 21) + kDayNumberOffset);
    EXPECT_EQ(k.TermAngle(), 90);
}

TEST(Searches, GiveUpFarFromThePresentEra) {
    // Millions of years away the series swing too far to settle: the term search stops after its
    // steps and gives the day of the moment itself; the new-moon search stops too.
    const double moments[] = {-2145068630, -2000000000, std::numeric_limits<int32_t>::min(),
                              std::numeric_limits<int32_t>::max()};
    TKyureki k;
    for (const double moment : moments) {
        SCOPED_TRACE(moment);
        for (const double step : {30.0, 90.0}) {
            EXPECT_EQ(k.TermBefore(step, moment), static_cast<int32_t>(moment));
            EXPECT_EQ(std::fmod(k.TermAngle(), step), 0);
        }
        EXPECT_TRUE(std::isfinite(NewMoonBefore(moment)));
    }
}

TEST(NormalizeAngle, Range) {
    struct {
        double in, out;
    } const cases[] = {
        {0, 0},     {359.5, 359.5}, {360, 0},    {725, 5},
        {-30, 330}, {-360, 360},    {-720, 360}, {-725, 355},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(NormalizeAngle(c.in), c.out) << c.in;
    }
}

}  // namespace
