#include "calendar/QReki.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "storage/Cp932.h"
#include "storage/DayNumber.h"

namespace {

// One periodic term: Amplitude * cos(Rate * T + Phase), degrees and degrees per Julian century.
struct TSeriesTerm {
    double Rate;
    double Phase;
    double Amplitude;
};

constexpr int kSunTerms = 14;

// The sun's 14 terms, then the moon's 61, each summed in this order.
constexpr TSeriesTerm kSeries[75] = {
    {31557, 161, 0.0004},       {29930, 48, 0.0004},       {2281, 221, 0.0005},
    {155, 118, 0.0005},         {33718, 316, 0.0006},      {9038, 64, 0.0007},
    {3035, 110, 0.0007},        {65929, 45, 0.0007},       {22519, 352, 0.0013},
    {45038, 254, 0.0015},       {445267, 208, 0.0018},     {19, 159, 0.0018},
    {32964, 158, 0.002},        {71998.1, 265.1, 0.02},    {2322131, 191, 0.0003},
    {4067, 70, 0.0003},         {549197, 220, 0.0003},     {1808933, 58, 0.0003},
    {349472, 337, 0.0003},      {381404, 354, 0.0003},     {958465, 340, 0.0003},
    {12006, 187, 0.0004},       {39871, 223, 0.0004},      {509131, 242, 0.0005},
    {1745069, 24, 0.0005},      {1908795, 90, 0.0005},     {2258267, 156, 0.0006},
    {111869, 38, 0.0006},       {27864, 127, 0.0007},      {485333, 186, 0.0007},
    {405201, 50, 0.0007},       {790672, 114, 0.0007},     {1403732, 98, 0.0008},
    {858602, 129, 0.0009},      {1920802, 186, 0.0011},    {1267871, 249, 0.0012},
    {1856938, 152, 0.0016},     {401329, 274, 0.0018},     {341337, 16, 0.0021},
    {71998, 85, 0.0021},        {990397, 357, 0.0021},     {818536, 151, 0.0022},
    {922466, 163, 0.0023},      {99863, 122, 0.0024},      {1379739, 17, 0.0026},
    {918399, 182, 0.0027},      {1934, 145, 0.0028},       {541062, 259, 0.0037},
    {1781068, 21, 0.0038},      {133, 29, 0.004},          {1844932, 56, 0.004},
    {1331734, 283, 0.004},      {481266, 205, 0.005},      {31932, 107, 0.0052},
    {926533, 323, 0.0068},      {449334, 188, 0.0079},     {826671, 111, 0.0085},
    {1431597, 315, 0.01},       {1303870, 246, 0.0107},    {489205, 142, 0.011},
    {1443603, 52, 0.0125},      {75870, 41, 0.0154},       {513197.9, 222.5, 0.0304},
    {445267.1, 27.9, 0.0347},   {441199.8, 47.4, 0.0409},  {854535.2, 148.2, 0.0458},
    {1367733.1, 280.7, 0.0533}, {377336.3, 13.2, 0.0571},  {63863.5, 124.2, 0.0588},
    {966404, 276.5, 0.1144},    {35999.05, 87.53, 0.1851}, {954397.74, 179.93, 0.2136},
    {890534.22, 145.7, 0.6583}, {413335.35, 10.74, 1.274}, {477198.868, 44.963, 6.2888},
};

constexpr double kRadiansPerDegree = 0.017453292519943295;
// Local time is nine hours (0.375 day) ahead of Greenwich.
constexpr double kLocalOffset = 0.375;
constexpr double kOneSecond = 1.0 / 86400;
constexpr double kJ2000 = 2451545;
constexpr double kDaysPerCentury = 36525;
constexpr double kTropicalYear = 365.2;
constexpr double kSynodicMonth = 29.530589;
// Principal terms lie up to 31.5 days apart, so a search for the next one must start at least
// 32 whole days plus the time of day after the previous one; 33 days is safely past it and well
// short of the term after.
constexpr double kNextPrincipalTermSearch = 33;
// Within the reckoned years a search settles in a handful of steps; past this it never will.
constexpr int kMaxSearchSteps = 30;

double Int(double x) {
    return std::trunc(x);
}

double CosDegrees(double degrees) {
    return std::cos(degrees * kRadiansPerDegree);
}

double SeriesSum(const TSeriesTerm* first, const TSeriesTerm* last, double t) {
    double sum = 0;
    for (const TSeriesTerm* term = first; term != last; ++term) {
        sum += term->Amplitude * CosDegrees(NormalizeAngle(term->Rate * t + term->Phase));
    }
    return sum;
}

// Julian centuries of the moment t1 + t2 + 0.375, the whole day t1 and the Greenwich fraction
// t2 kept apart so that the searches lose no precision in the fraction.
double Centuries(double t1, double t2) {
    return (t2 + 0.5) / kDaysPerCentury + (t1 - kJ2000) / kDaysPerCentury;
}

// Moves the split moment back by delta days, keeping t2 from going negative.
void StepBack(double& t1, double& t2, double& dt1, double& dt2, double delta) {
    dt1 = Int(delta);
    dt2 = delta - dt1;
    t1 -= dt1;
    t2 -= dt2;
    if (t2 < 0) {
        t2 += 1;
        t1 -= 1;
    }
}

template <size_t N>
std::array<std::string, N> SjisTable(const char* const (&utf8)[N]) {
    std::array<std::string, N> table;
    std::transform(std::begin(utf8), std::end(utf8), table.begin(),
                   [](const char* text) { return Sjis(text); });
    return table;
}

struct TLunation {
    int Month;
    bool Leap;
    int32_t First;  // day number of the new moon's day
};

int NextMonth(int month) {
    return month == 12 ? 1 : month + 1;
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

double SunLongitude(double t) {
    double th = SeriesSum(kSeries, kSeries + kSunTerms, t);
    const double ang = NormalizeAngle(35999.05 * t + 267.52);
    th -= 0.0048 * t * CosDegrees(ang);
    th += 1.9147 * CosDegrees(ang);
    const double meanLongitude = NormalizeAngle(NormalizeAngle(36000.7695 * t) + 280.4659);
    return NormalizeAngle(th + meanLongitude);
}

double MoonLongitude(double t) {
    const double th = SeriesSum(kSeries + kSunTerms, std::end(kSeries), t);
    const double meanLongitude = NormalizeAngle(NormalizeAngle(481267.8809 * t) + 218.3162);
    return NormalizeAngle(th + meanLongitude);
}

double NewMoonBefore(double moment) {
    double t1 = Int(moment);
    double t2 = moment - t1 - kLocalOffset;
    double dt1 = 0;
    double dt2 = 1;
    for (int lc = 1; std::abs(dt1 + dt2) > kOneSecond; ++lc) {
        const double t = Centuries(t1, t2);
        const double sun = SunLongitude(t);
        const double moon = MoonLongitude(t);
        double d = moon - sun;
        if (lc == 1 && d < 0) {
            d = NormalizeAngle(d);
        } else if (sun >= 0 && sun <= 20 && moon >= 300) {
            // The sun has just passed 0 degrees while the moon is still short of it.
            d = 360 - NormalizeAngle(d);
        } else if (std::abs(d) > 40) {
            d = NormalizeAngle(d);
        }
        StepBack(t1, t2, dt1, dt2, kSynodicMonth * d / 360);
        const bool unsettled = std::abs(dt1 + dt2) > kOneSecond;
        if (lc == 15 && unsettled) {
            t1 = Int(moment - 26);
            t2 = 0;
        } else if (lc > kMaxSearchSteps && unsettled) {
            t1 = moment;
            t2 = 0;
            break;
        }
    }
    return t2 + t1 + kLocalOffset;
}

int SolarTermOfDay(int32_t dayNumber) {
    // Local midnight at the start of the day and of the next one.
    const double start =
        SunLongitude((dayNumber - kJ2000) / kDaysPerCentury + 0.125 / kDaysPerCentury);
    const double end =
        SunLongitude((dayNumber + 1 - kJ2000) / kDaysPerCentury + 0.125 / kDaysPerCentury);
    const double a = Int(start / 15) * 15;
    const double b = Int(end / 15) * 15;
    if (a == b) {
        return -1;
    }
    return static_cast<int>(b) / 15;
}

int32_t TKyureki::TermBefore(double step, double moment) {
    double t1 = Int(moment);
    double t2 = moment - t1 - kLocalOffset;
    FTermAngle = step * Int(SunLongitude(Centuries(t1, t2)) / step);
    double dt1 = 0;
    double dt2 = 1;
    for (int step = 0; std::abs(dt1 + dt2) > kOneSecond; ++step) {
        if (step == kMaxSearchSteps) {
            return static_cast<int32_t>(Int(moment));
        }
        double d = SunLongitude(Centuries(t1, t2)) - FTermAngle;
        if (d > 180) {
            d -= 360;
        } else if (d < -180) {
            d += 360;
        }
        StepBack(t1, t2, dt1, dt2, kTropicalYear * d / 360);
    }
    return static_cast<int32_t>(Int(t1 + t2 + kLocalOffset));
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
    FSolarTerm = SolarTermOfDay(n);

    // The last solstice or equinox before the day, and the three principal terms after it.
    int32_t chu[4];
    chu[0] = TermBefore(90, n);
    int firstMonth = static_cast<int>(FTermAngle / 30) + 2;
    if (firstMonth > 12) {
        firstMonth -= 12;
    }
    for (int i = 1; i < 4; ++i) {
        chu[i] = TermBefore(30, chu[i - 1] + kNextPrincipalTermSearch);
    }

    // Five new moons, the first at or before that solstice or equinox.
    double saku[5];
    saku[0] = NewMoonBefore(chu[0]);
    for (int i = 1; i < 5; ++i) {
        saku[i] = NewMoonBefore(saku[i - 1] + 30);
        if (std::abs(Int(saku[i - 1]) - Int(saku[i])) <= 26) {
            saku[i] = NewMoonBefore(saku[i - 1] + 35);
        }
    }
    if (Int(saku[1]) <= chu[0]) {
        std::copy(saku + 1, saku + 5, saku);
        saku[4] = NewMoonBefore(saku[3] + 35);
    } else if (Int(saku[0]) > chu[0]) {
        std::copy_backward(saku, saku + 4, saku + 5);
        saku[0] = NewMoonBefore(saku[0] - 27);
    }

    // Five lunations within four principal terms: one of them holds no principal term and is
    // the leap month, numbered after the month before it.
    bool leapSearch = Int(saku[4]) <= chu[3];
    TLunation m[5];
    m[0] = {firstMonth, false, static_cast<int32_t>(Int(saku[0]))};
    for (int i = 1; i < 5; ++i) {
        if (leapSearch && i != 1 &&
            (chu[i - 1] <= Int(saku[i - 1]) || chu[i - 1] >= Int(saku[i]))) {
            m[i - 1] = {m[i - 2].Month, true, static_cast<int32_t>(Int(saku[i - 1]))};
            leapSearch = false;
        }
        m[i] = {NextMonth(m[i - 1].Month), false, static_cast<int32_t>(Int(saku[i]))};
    }

    // The lunation holding the day: the last one that begins on or before it.
    int i = 0;
    while (i < 5 && n > m[i].First) {
        ++i;
    }
    if (i == 5 || n < m[i].First) {
        i = std::max(i - 1, 0);
    }
    FLeap = m[i].Leap;
    FMonth = m[i].Month;
    FDay = n - m[i].First + 1;

    // Months 10 to 12 of the old calendar reaching into the next Gregorian year belong to the
    // year before.
    const TYmd ymd = DecodeDate(WholeDay(aDate));
    FYear = ymd.Year;
    if (FMonth > 9 && FMonth > ymd.Month) {
        --FYear;
    }
}

int TKyureki::RokuyoIndex() const {
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
