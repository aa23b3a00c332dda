#include "calendar/Almanac.h"

#include <algorithm>
#include <array>
#include <vector>

#include "calendar/Ephemeris.h"
#include "calendar/LunisolarYear.h"
#include "calendar/QReki.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"

namespace {

struct TEraStart {
    int Year;
    int Month;
    int Day;
};
constexpr std::array<TEraStart, 5> kEraStarts = {
    {{1868, 1, 25}, {1912, 7, 30}, {1926, 12, 25}, {1989, 1, 8}, {2019, 5, 1}}};

int32_t EraFirstDay(size_t era) {
    const TEraStart& start = kEraStarts[era];
    return EncodeDate(start.Year, start.Month, start.Day);
}

std::string YearOfEra(int era, int year) {
    return EraName(era) + (year == 1 ? Sjis("元") : std::to_string(year)) + Sjis("年");
}

int Modulo(int64_t value, int divisor) {
    const auto rest = static_cast<int>(value % divisor);
    return rest < 0 ? rest + divisor : rest;
}

// The seasonal days are worked out where the ephemeris is trusted (as QReki's searches are).
constexpr int kFirstReckonedYear = 1700;
constexpr int kLastReckonedYear = 2299;

constexpr double kDaysPerDegree = 365.242189 / 360;

// The day in a Gregorian year on which the sun reaches the longitude (0 <= degrees < 360). The
// search starts from the mean date counted from the March equinox; longitudes past the winter
// solstice (285 degrees and on) fall in January and February.
int32_t LongitudeDay(int year, double degrees) {
    const double fromEquinox = degrees >= 285 ? degrees - 360 : degrees;
    const double guess =
        EncodeDate(year, 3, 20) + kDayNumberOffset + 0.5 + fromEquinox * kDaysPerDegree;
    return LocalDayOf(SunLongitudeMoment(degrees, guess)) - kDayNumberOffset;
}

enum TZassetsu {
    kSetsubun,
    kHiganIri,
    kHiganAke,
    kHachijuHachiya,
    kNyubai,
    kHangesho,
    kDoyoIri,
    kNihyakuToka,
    kNihyakuHatsuka,
    kZassetsuCount
};

const std::string& ZassetsuName(int index) {
    static const std::array<std::string, kZassetsuCount> names = {
        Sjis("節分"),   Sjis("彼岸入り"), Sjis("彼岸明け"), Sjis("八十八夜"),  Sjis("入梅"),
        Sjis("半夏生"), Sjis("土用入り"), Sjis("二百十日"), Sjis("二百二十日")};
    return names.at(static_cast<size_t>(index));
}

struct TSeasonalDay {
    int32_t Day;
    int Name;
};

std::vector<TSeasonalDay> SeasonalDaysOf(int year) {
    const int32_t risshun = LongitudeDay(year, 315);
    const int32_t shunbun = LongitudeDay(year, 0);
    const int32_t shubun = LongitudeDay(year, 180);
    std::vector<TSeasonalDay> days = {
        {risshun - 1, kSetsubun},          {shunbun - 3, kHiganIri},
        {shunbun + 3, kHiganAke},          {shubun - 3, kHiganIri},
        {shubun + 3, kHiganAke},           {risshun + 87, kHachijuHachiya},
        {risshun + 209, kNihyakuToka},     {risshun + 219, kNihyakuHatsuka},
        {LongitudeDay(year, 80), kNyubai}, {LongitudeDay(year, 100), kHangesho},
    };
    for (const double degrees : {27.0, 117.0, 207.0, 297.0})
        days.push_back({LongitudeDay(year, degrees), kDoyoIri});
    std::stable_sort(days.begin(), days.end(),
                     [](const TSeasonalDay& a, const TSeasonalDay& b) { return a.Day < b.Day; });
    return days;
}

}  // namespace

TEraDate EraOf(int32_t day) {
    for (size_t era = kEraStarts.size(); era-- > 0;) {
        if (day >= EraFirstDay(era))
            return {static_cast<int>(era), DecodeDate(day).Year - kEraStarts[era].Year + 1};
    }
    return {-1, 0};
}

const std::string& EraName(int era) {
    static const std::array<std::string, 5> names = {Sjis("明治"), Sjis("大正"), Sjis("昭和"),
                                                     Sjis("平成"), Sjis("令和")};
    return names.at(static_cast<size_t>(era));
}

std::string EraDateText(int32_t day) {
    const TEraDate era = EraOf(day);
    if (era.Era < 0)
        return {};
    const TYmd date = DecodeDate(day);
    return YearOfEra(era.Era, era.Year) + std::to_string(date.Month) + Sjis("月") +
           std::to_string(date.Day) + Sjis("日");
}

std::string EraYearText(int year) {
    std::string text;
    const TEraDate first = EraOf(EncodeDate(year, 1, 1));
    if (first.Era >= 0)
        text = YearOfEra(first.Era, first.Year);
    for (size_t era = static_cast<size_t>(first.Era + 1); era < kEraStarts.size(); ++era) {
        if (kEraStarts[era].Year != year)
            continue;
        if (!text.empty())
            text += Sjis("・");
        text += YearOfEra(static_cast<int>(era), 1);
    }
    return text;
}

const std::string& EtoName(int index) {
    static const std::array<std::string, 60> names = [] {
        static const char* const stems[] = {"甲", "乙", "丙", "丁", "戊",
                                            "己", "庚", "辛", "壬", "癸"};
        static const char* const branches[] = {"子", "丑", "寅", "卯", "辰", "巳",
                                               "午", "未", "申", "酉", "戌", "亥"};
        std::array<std::string, 60> table;
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = Sjis(std::string(stems[i % 10]) + branches[i % 12]);
        return table;
    }();
    return names.at(static_cast<size_t>(index));
}

int YearEtoIndex(int year) {
    // 4 AD was 甲子.
    return Modulo(int64_t{year} - 4, 60);
}

int DayEtoIndex(int32_t day) {
    // Day number 52 (1900-02-20) was a 甲子 day; in steps of 60 from there.
    return Modulo(int64_t{day} - 52, 60);
}

std::string ZassetsuText(int32_t day) {
    const int year = DecodeDate(day).Year;
    if (year < kFirstReckonedYear || year > kLastReckonedYear)
        return {};
    thread_local int cachedYear = 0;
    thread_local std::vector<TSeasonalDay> cached;
    if (cachedYear != year) {
        cached = SeasonalDaysOf(year);
        cachedYear = year;
    }
    std::string text;
    for (const TSeasonalDay& seasonal : cached) {
        if (seasonal.Day != day)
            continue;
        if (!text.empty())
            text += Sjis("・");
        text += ZassetsuName(seasonal.Name);
    }
    return text;
}

std::string SolarTermText(int32_t day) {
    const int term = SolarTermOfDay(day + kDayNumberOffset);
    return term < 0 ? std::string() : SolarTermName(term);
}

std::string OldDateText(int month, int day, bool leap) {
    if (month == 0)
        return {};
    return Sjis("旧") + (leap ? Sjis("閏") : std::string()) + std::to_string(month) + Sjis("月") +
           std::to_string(day) + Sjis("日");
}
