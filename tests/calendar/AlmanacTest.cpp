#include "calendar/Almanac.h"

#include <gtest/gtest.h>
#include <unicode/calendar.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <memory>
#include <string>

#include "calendar/AlmanacCsv.h"
#include "calendar/HolidayList.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"

namespace {

std::string Utf8(const std::string& cp932) {
    return Cp932ToUtf8(cp932);
}

struct SeasonCase {
    int year, month, day;
    const char* sekki;     // UTF-8
    const char* zassetsu;  // UTF-8
};

// Rows of tools/almanac_check.py's reference worked out from PyEphem: every kind of 雑節 and the
// terms whose instant lies closest to local midnight in 1900..2100 (within minutes), spread over
// the range.
const SeasonCase kSeasons[] = {
    {1900, 2, 3, "", "節分"},        {1900, 2, 4, "立春", ""},
    {1900, 5, 2, "", "八十八夜"},    {1900, 9, 1, "", "二百十日"},
    {1900, 9, 11, "", "二百二十日"}, {1901, 5, 6, "立夏", ""},
    {1912, 3, 18, "", "彼岸入り"},   {1912, 3, 21, "春分", ""},
    {1912, 3, 24, "", "彼岸明け"},   {1916, 11, 22, "小雪", ""},
    {1917, 9, 24, "秋分", ""},       {1919, 8, 8, "立秋", ""},
    {1926, 6, 12, "", "入梅"},       {1927, 3, 21, "春分", ""},
    {1945, 7, 2, "", "半夏生"},      {1950, 1, 20, "大寒", ""},
    {1953, 1, 6, "小寒", ""},        {1964, 2, 19, "雨水", ""},
    {1964, 9, 7, "白露", ""},        {1967, 6, 12, "", "入梅"},
    {1968, 7, 20, "", "土用入り"},   {1981, 8, 7, "立秋", ""},
    {1982, 10, 9, "寒露", ""},       {1987, 4, 20, "穀雨", ""},
    {1989, 9, 20, "", "彼岸入り"},   {1989, 9, 23, "秋分", ""},
    {1989, 9, 26, "", "彼岸明け"},   {1998, 10, 23, "霜降", ""},
    {2000, 1, 18, "", "土用入り"},   {2013, 4, 5, "清明", ""},
    {2019, 4, 17, "", "土用入り"},   {2019, 11, 22, "小雪", ""},
    {2021, 2, 3, "立春", ""},        {2023, 6, 21, "夏至", ""},
    {2025, 12, 22, "冬至", ""},      {2026, 10, 20, "", "土用入り"},
    {2030, 2, 18, "雨水", ""},       {2030, 7, 19, "", "土用入り"},
    {2038, 11, 22, "小雪", ""},      {2050, 6, 21, "夏至", ""},
    {2053, 1, 19, "大寒", ""},       {2061, 1, 17, "", "土用入り"},
    {2064, 11, 7, "立冬", ""},       {2077, 12, 21, "冬至", ""},
    {2088, 3, 17, "", "彼岸入り"},   {2088, 3, 20, "春分", ""},
    {2088, 3, 23, "", "彼岸明け"},   {2100, 2, 3, "", "節分"},
    {2100, 2, 4, "立春", ""},        {2100, 5, 2, "", "八十八夜"},
    {2100, 9, 1, "", "二百十日"},    {2100, 9, 11, "", "二百二十日"},
    {2100, 9, 20, "", "彼岸入り"},   {2100, 9, 23, "秋分", ""},
    {2100, 9, 26, "", "彼岸明け"},
};

TEST(Almanac, SolarTermsAndSeasonalDaysAgreeWithTheEphemeris) {
    for (const SeasonCase& c : kSeasons) {
        const int32_t day = EncodeDate(c.year, c.month, c.day);
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" +
                     std::to_string(c.day));
        EXPECT_EQ(Utf8(SolarTermText(day)), c.sekki);
        EXPECT_EQ(Utf8(ZassetsuText(day)), c.zassetsu);
        // Nothing leaks onto the neighbouring days.
        if (*c.zassetsu) {
            EXPECT_EQ(ZassetsuText(day - 1), "");
            EXPECT_EQ(ZassetsuText(day + 1), "");
        }
    }
}

TEST(Almanac, EveryYearHasItsSeasonalDaysOnce) {
    for (int year = 1900; year <= 2100; year += 11) {
        int count = 0;
        for (int32_t day = EncodeDate(year, 1, 1); day <= EncodeDate(year, 12, 31); ++day)
            if (!ZassetsuText(day).empty())
                ++count;
        EXPECT_EQ(count, 14) << year;
    }
}

struct EraCase {
    int year, month, day;
    const char* text;  // UTF-8
};

TEST(Almanac, EraDatesAtTheChanges) {
    const EraCase cases[] = {
        {1868, 1, 24, ""},
        {1868, 1, 25, "明治元年1月25日"},
        {1912, 7, 29, "明治45年7月29日"},
        {1912, 7, 30, "大正元年7月30日"},
        {1926, 12, 24, "大正15年12月24日"},
        {1926, 12, 25, "昭和元年12月25日"},
        {1927, 1, 1, "昭和2年1月1日"},
        {1989, 1, 7, "昭和64年1月7日"},
        {1989, 1, 8, "平成元年1月8日"},
        {2019, 4, 30, "平成31年4月30日"},
        {2019, 5, 1, "令和元年5月1日"},
        {2026, 12, 8, "令和8年12月8日"},
    };
    for (const EraCase& c : cases)
        EXPECT_EQ(Utf8(EraDateText(EncodeDate(c.year, c.month, c.day))), c.text) << c.text;
}

TEST(Almanac, EraYearsOfTheCaption) {
    const struct {
        int year;
        const char* text;
    } cases[] = {{1867, ""},
                 {1868, "明治元年"},
                 {1912, "明治45年・大正元年"},
                 {1926, "大正15年・昭和元年"},
                 {1989, "昭和64年・平成元年"},
                 {2019, "平成31年・令和元年"},
                 {2020, "令和2年"},
                 {2100, "令和82年"}};
    for (const auto& c : cases)
        EXPECT_EQ(Utf8(EraYearText(c.year)), c.text) << c.year;
}

// ICU's Japanese calendar names every day's era and year, "元年" for the first in Japanese.
TEST(Almanac, EraDatesAgreeWithIcuEveryDay) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale("ja_JP@calendar=japanese");
    std::unique_ptr<icu::Calendar> calendar(
        icu::Calendar::createInstance(icu::TimeZone::createTimeZone("Etc/UTC"), locale, status));
    ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    icu::SimpleDateFormat format(icu::UnicodeString::fromUTF8("Gy年M月d日"), locale, status);
    ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    format.adoptCalendar(calendar.release());
    constexpr double kMsPerDay = 86400000.0;
    const int32_t unixDayZero = EncodeDate(1970, 1, 1);
    int differing = 0;
    for (int32_t day = EncodeDate(1900, 1, 1); day <= EncodeDate(2100, 12, 31); ++day) {
        icu::UnicodeString icuText;
        format.format((day - unixDayZero) * kMsPerDay + kMsPerDay / 2, icuText);
        std::string expected;
        icuText.toUTF8String(expected);
        const std::string ours = Utf8(EraDateText(day));
        if (ours != expected && ++differing <= 5)
            ADD_FAILURE() << expected << " / " << ours;
    }
    EXPECT_EQ(differing, 0);
}

TEST(Almanac, SexagenaryCycle) {
    const struct {
        int year;
        const char* eto;
    } years[] = {{1900, "庚子"}, {1924, "甲子"}, {1984, "甲子"}, {2026, "丙午"}, {2043, "癸亥"}};
    for (const auto& c : years)
        EXPECT_EQ(Utf8(EtoName(YearEtoIndex(c.year))), c.eto) << c.year;

    const EraCase days[] = {
        {1900, 1, 1, "甲戌"}, {1949, 10, 1, "甲子"}, {2000, 1, 1, "戊午"}, {2026, 1, 1, "乙亥"}};
    for (const EraCase& c : days)
        EXPECT_EQ(Utf8(EtoName(DayEtoIndex(EncodeDate(c.year, c.month, c.day)))), c.text) << c.year;
    // One step a day, across day 0 and far before it.
    for (const int32_t day : {-100000, -61, -1, 0, 59, 73050})
        EXPECT_EQ(DayEtoIndex(day + 1), (DayEtoIndex(day) + 1) % 60) << day;
}

TEST(Almanac, OldDateText) {
    EXPECT_EQ(Utf8(OldDateText(10, 30, false)), "旧10月30日");
    EXPECT_EQ(Utf8(OldDateText(4, 1, true)), "旧閏4月1日");
    EXPECT_EQ(OldDateText(0, 0, false), "");
}

TEST(Almanac, CsvOfAYear) {
    THolidayList holidays;
    holidays.ReadLine(Sjis("1,1,0,1949,9999,0,元日"));
    const std::string csv = AlmanacCsv(2026, holidays);
    EXPECT_EQ(csv.substr(0, csv.find('\n')), kAlmanacHeader);
    size_t lines = 0;
    for (const char c : csv)
        lines += c == '\n';
    EXPECT_EQ(lines, 366u);
    for (const char* line : {
             "\n2026-01-01,令和8年1月1日,旧11月13日,大安,乙亥,元日,,\n",
             "\n2026-02-03,令和8年2月3日,旧12月16日,先負,戊申,,,節分\n",
             "\n2026-12-31,令和8年12月31日,旧11月23日,先負,己卯,,,\n",
         })
        EXPECT_NE(csv.find(line), std::string::npos) << line;
}

}  // namespace
