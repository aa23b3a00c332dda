#include "calendar/QReki.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "calendar/Ephemeris.h"
#include "calendar/LunisolarYear.h"
#include "storage/Cp932.h"
#include "storage/DayNumber.h"

namespace {

// JD in Universal Time of the moment 0.0 of day-number scale: local time is nine hours ahead
// of Greenwich, and a Julian Day begins at noon.
constexpr double kLocalMidnight = 0.125;
constexpr double kDaysPerDegree = 365.242189 / 360;
// The searches work from 1700 to 2300; beyond that the truncated series are not trusted.
constexpr double kFirstSearchMoment = 2341973;  // 1700-01-01
constexpr double kLastSearchMoment = 2561117;   // 2300-01-01

bool Searchable(double moment) {
    return moment >= kFirstSearchMoment && moment <= kLastSearchMoment;
}

double Int(double x) {
    return std::trunc(x);
}

template <size_t N>
std::array<std::string, N> SjisTable(const char* const (&utf8)[N]) {
    std::array<std::string, N> table;
    std::transform(std::begin(utf8), std::end(utf8), table.begin(),
                   [](const char* text) { return Sjis(text); });
    return table;
}

bool Reckoned(int32_t dayNumber) {
    return dayNumber >= kKyurekiFirstDay + kDayNumberOffset &&
           dayNumber <= kKyurekiLastDay + kDayNumberOffset;
}

// The sun's apparent longitude at local midnight starting the day.
double LongitudeAtMidnight(int32_t dayNumber) {
    return SunApparentLongitude(DynamicalFromUniversal(dayNumber + kLocalMidnight));
}

}  // namespace

const std::string& RokuyoNameAt(int index) {
    static const auto names = SjisTable({"先勝", "友引", "先負", "仏滅", "大安", "赤口"});
    return names.at(static_cast<size_t>(index));
}

const std::string& MonthNameAt(int month) {
    static const auto names = SjisTable({"睦月", "如月", "弥生", "卯月", "皐月", "水無月", "文月",
                                         "葉月", "長月", "神無月", "霜月", "師走"});
    return names.at(static_cast<size_t>(month - 1));
}

const std::string& SolarTermName(int index) {
    static const auto names =
        SjisTable({"春分", "清明", "穀雨", "立夏", "小満", "芒種", "夏至", "小暑",
                   "大暑", "立秋", "処暑", "白露", "秋分", "寒露", "霜降", "立冬",
                   "小雪", "大雪", "冬至", "小寒", "大寒", "立春", "雨水", "啓蟄"});
    return names.at(static_cast<size_t>(index));
}

double NormalizeAngle(double degrees) {
    if (degrees >= 0) {
        return degrees - Int(degrees / 360) * 360;
    }
    double y = -degrees;
    y -= Int(y / 360) * 360;
    return 360 - y;
}

double NewMoonBefore(double moment) {
    if (!Searchable(moment)) {
        return moment;
    }
    const int k = NewMoonNumberAtOrBefore(DynamicalFromUniversal(moment + kLocalMidnight));
    return UniversalFromDynamical(NewMoonMoment(k)) - kLocalMidnight;
}

int SolarTermOfDay(int32_t dayNumber) {
    if (Reckoned(dayNumber)) {
        return ThreadLunisolarCache().YearOf(dayNumber).SolarTermOf(dayNumber);
    }
    // Beyond the reckoned years: whether a multiple of 15 degrees lies between the midnights.
    const double start = Int(LongitudeAtMidnight(dayNumber) / 15);
    const double end = Int(LongitudeAtMidnight(dayNumber + 1) / 15);
    return start == end ? -1 : static_cast<int>(end);
}

int32_t TKyureki::TermBefore(double step, double moment) {
    const double jde = DynamicalFromUniversal(moment + kLocalMidnight);
    const double longitude = SunApparentLongitude(jde);
    FTermAngle = step * Int(longitude / step);
    if (!Searchable(moment)) {
        return static_cast<int32_t>(Int(moment));
    }
    const double guess = jde - (longitude - FTermAngle) * kDaysPerDegree;
    return LocalDayOf(SunLongitudeMoment(FTermAngle, guess));
}

void TKyureki::Calculate(double aDate) {
    FDate = aDate;
    if (!(aDate >= kKyurekiFirstDay && aDate < kKyurekiLastDay + 1.0)) {
        FYear = 0;
        FMonth = 0;
        FDay = 0;
        FLeap = false;
        FSolarTerm = -1;
        return;
    }
    const int32_t n = WholeDay(aDate) + kDayNumberOffset;
    const TLunisolarYear& year = ThreadLunisolarCache().YearOf(n);
    FSolarTerm = year.SolarTermOf(n);
    const TLunarMonth& month = year.MonthOf(n);
    FLeap = month.Leap;
    FMonth = month.Month;
    FDay = n - month.First + 1;

    // Months 10 to 12 of the old calendar reaching into the next Gregorian year belong to the
    // year before.
    const TYmd ymd = DecodeDate(WholeDay(aDate));
    FYear = ymd.Year;
    if (FMonth > 9 && FMonth > ymd.Month) {
        --FYear;
    }
}

int TKyureki::RokuyoIndex() const {
    if (FMonth == 0) {
        return -1;
    }
    const int index = (FMonth + FDay - 2) % 6;
    return index < 0 ? index + 6 : index;
}

const std::string& TKyureki::RokuyoName() const {
    static const std::string none;
    return FMonth == 0 ? none : RokuyoNameAt(RokuyoIndex());
}

uint8_t TKyureki::RokuyoKind() const {
    if (FMonth == 0) {
        return 0;
    }
    switch (RokuyoIndex()) {
        case 4:
            return 1;
        case 3:
            return 2;
        default:
            return 0;
    }
}

const std::string& TKyureki::MonthName() const {
    static const std::string none;
    if (FMonth == 0) {
        return none;
    }
    return MonthNameAt(DecodeDate(WholeDay(FDate)).Month);
}
