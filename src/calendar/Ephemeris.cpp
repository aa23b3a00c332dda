#include "calendar/Ephemeris.h"

#include <cmath>
#include <iterator>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerDegree = kPi / 180;
constexpr double kJ2000 = 2451545.0;
constexpr double kDaysPerCentury = 36525.0;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kArcsecondsPerDegree = 3600.0;

double SinDegrees(double degrees) {
    return std::sin(degrees * kRadiansPerDegree);
}

double Reduce360(double degrees) {
    const double reduced = std::fmod(degrees, 360.0);
    return reduced < 0 ? reduced + 360.0 : reduced;
}

// One term of a VSOP87 series: A cos(B + C tau), A in 1e-8 radians, tau in Julian millennia.
struct TVsopTerm {
    double A;
    double B;
    double C;
};

// The earth's heliocentric longitude, Meeus's truncation of VSOP87D (appendix III, table for
// the earth, L0 to L5).
constexpr TVsopTerm kL0[] = {
    {175347046, 0, 0},
    {3341656, 4.6692568, 6283.0758500},
    {34894, 4.62610, 12566.15170},
    {3497, 2.7441, 5753.3849},
    {3418, 2.8289, 3.5231},
    {3136, 3.6277, 77713.7715},
    {2676, 4.4181, 7860.4194},
    {2343, 6.1352, 3930.2097},
    {1324, 0.7425, 11506.7698},
    {1273, 2.0371, 529.6910},
    {1199, 1.1096, 1577.3435},
    {990, 5.233, 5884.927},
    {902, 2.045, 26.298},
    {857, 3.508, 398.149},
    {780, 1.179, 5223.694},
    {753, 2.533, 5507.553},
    {505, 4.583, 18849.228},
    {492, 4.205, 775.523},
    {357, 2.920, 0.067},
    {317, 5.849, 11790.629},
    {284, 1.899, 796.298},
    {271, 0.315, 10977.079},
    {243, 0.345, 5486.778},
    {206, 4.806, 2544.314},
    {205, 1.869, 5573.143},
    {202, 2.458, 6069.777},
    {156, 0.833, 213.299},
    {132, 3.411, 2942.463},
    {126, 1.083, 20.775},
    {115, 0.645, 0.980},
    {103, 0.636, 4694.003},
    {102, 0.976, 15720.839},
    {102, 4.267, 7.114},
    {99, 6.21, 2146.17},
    {98, 0.68, 155.42},
    {86, 5.98, 161000.69},
    {85, 1.30, 6275.96},
    {85, 3.67, 71430.70},
    {80, 1.81, 17260.15},
    {79, 3.04, 12036.46},
    {75, 1.76, 5088.63},
    {74, 3.50, 3154.69},
    {74, 4.68, 801.82},
    {70, 0.83, 9437.76},
    {62, 3.98, 8827.39},
    {61, 1.82, 7084.90},
    {57, 2.78, 6286.60},
    {56, 4.39, 14143.50},
    {56, 3.47, 6279.55},
    {52, 0.19, 12139.55},
    {52, 1.33, 1748.02},
    {51, 0.28, 5856.48},
    {49, 0.49, 1194.45},
    {41, 5.37, 8429.24},
    {41, 2.40, 19651.05},
    {39, 6.17, 10447.39},
    {37, 6.04, 10213.29},
    {37, 2.57, 1059.38},
    {36, 1.71, 2352.87},
    {36, 1.78, 6812.77},
    {33, 0.59, 17789.85},
    {30, 0.44, 83996.85},
    {30, 2.74, 1349.87},
    {25, 3.16, 4690.48},
};
constexpr TVsopTerm kL1[] = {
    {628331966747, 0, 0},       {206059, 2.678235, 6283.075850},
    {4303, 2.6351, 12566.1517}, {425, 1.590, 3.523},
    {119, 5.796, 26.298},       {109, 2.966, 1577.344},
    {93, 2.59, 18849.23},       {72, 1.14, 529.69},
    {68, 1.87, 398.15},         {67, 4.41, 5507.55},
    {59, 2.89, 5223.69},        {56, 2.17, 155.42},
    {45, 0.40, 796.30},         {36, 0.47, 775.52},
    {29, 2.65, 7.11},           {21, 5.34, 0.98},
    {19, 1.85, 5486.78},        {19, 4.97, 213.30},
    {17, 2.99, 6275.96},        {16, 0.03, 2544.31},
    {16, 1.43, 2146.17},        {15, 1.21, 10977.08},
    {12, 2.83, 1748.02},        {12, 3.26, 5088.63},
    {12, 5.27, 1194.45},        {12, 2.08, 4694.00},
    {11, 0.77, 553.57},         {10, 1.30, 6286.60},
    {10, 4.24, 1349.87},        {9, 2.70, 242.73},
    {9, 5.64, 951.72},          {8, 5.30, 2352.87},
    {6, 2.65, 9437.76},         {6, 4.67, 4690.48},
};
constexpr TVsopTerm kL2[] = {
    {52919, 0, 0},     {8720, 1.0721, 6283.0758}, {309, 0.867, 12566.152}, {27, 0.05, 3.52},
    {16, 5.19, 26.30}, {16, 3.68, 155.42},        {10, 0.76, 18849.23},    {9, 2.06, 77713.77},
    {7, 0.83, 775.52}, {5, 4.66, 1577.34},        {4, 1.03, 7.11},         {4, 3.44, 5573.14},
    {3, 5.14, 796.30}, {3, 6.05, 5507.55},        {3, 1.19, 242.73},       {3, 6.12, 529.69},
    {3, 0.31, 398.15}, {3, 2.28, 553.57},         {2, 4.38, 5223.69},      {2, 3.75, 0.98},
};
constexpr TVsopTerm kL3[] = {
    {289, 5.844, 6283.076}, {35, 0, 0},          {17, 5.49, 12566.15}, {3, 5.20, 155.42},
    {1, 4.72, 3.52},        {1, 5.30, 18849.23}, {1, 5.97, 242.73},
};
constexpr TVsopTerm kL4[] = {{114, 3.142, 0}, {8, 4.13, 6283.08}, {1, 3.84, 12566.15}};
constexpr TVsopTerm kL5[] = {{1, 3.14, 0}};

template <size_t N>
double VsopSum(const TVsopTerm (&terms)[N], double tau) {
    double sum = 0;
    for (const TVsopTerm& term : terms) {
        sum += term.A * std::cos(term.B + term.C * tau);
    }
    return sum;
}

// The earth's heliocentric longitude in radians, for tau Julian millennia from J2000.
double EarthLongitude(double tau) {
    const double l = VsopSum(kL0, tau) +
                     tau * (VsopSum(kL1, tau) +
                            tau * (VsopSum(kL2, tau) +
                                   tau * (VsopSum(kL3, tau) +
                                          tau * (VsopSum(kL4, tau) + tau * VsopSum(kL5, tau)))));
    return l * 1e-8;
}

// Nutation in longitude in arc seconds, from its four largest terms (0.5" at most off).
double NutationInLongitude(double t) {
    const double omega = 125.04452 - 1934.136261 * t;
    const double sunMean = 280.4665 + 36000.7698 * t;
    const double moonMean = 218.3165 + 481267.8813 * t;
    return -17.20 * SinDegrees(omega) - 1.32 * SinDegrees(2 * sunMean) -
           0.23 * SinDegrees(2 * moonMean) + 0.21 * SinDegrees(2 * omega);
}

// The sun's distance in astronomical units, from its equation of centre (ample for the
// aberration, which it scales by at most 1.7 %).
double SunDistance(double t) {
    const double anomaly = 357.52911 + 35999.05029 * t;
    return 1.000140 - 0.016708 * std::cos(anomaly * kRadiansPerDegree) -
           0.000139 * std::cos(2 * anomaly * kRadiansPerDegree);
}

double Square(double x) {
    return x * x;
}

// Mean synodic month of the new-moon series, in days.
constexpr double kSynodicMonth = 29.530588861;
constexpr double kNewMoonEpoch = 2451550.09766;
// Mean days per degree of the sun's longitude, used to step toward a wanted longitude.
constexpr double kDaysPerDegree = 365.242189 / 360;

}  // namespace

double DeltaTSeconds(double year) {
    // Espenak and Meeus; the 1900-1920 polynomial also serves the one year before 1900 that
    // the calendar reckons.
    if (year < 1920) {
        const double t = year - 1900;
        return -2.79 + 1.494119 * t - 0.0598939 * t * t + 0.0061966 * t * t * t -
               0.000197 * t * t * t * t;
    }
    if (year < 1941) {
        const double t = year - 1920;
        return 21.20 + 0.84493 * t - 0.076100 * t * t + 0.0020936 * t * t * t;
    }
    if (year < 1961) {
        const double t = year - 1950;
        return 29.07 + 0.407 * t - t * t / 233 + t * t * t / 2547;
    }
    if (year < 1986) {
        const double t = year - 1975;
        return 45.45 + 1.067 * t - t * t / 260 - t * t * t / 718;
    }
    if (year < 2005) {
        const double t = year - 2000;
        return 63.86 + 0.3345 * t - 0.060374 * t * t + 0.0017275 * t * t * t +
               0.000651814 * t * t * t * t + 0.00002373599 * t * t * t * t * t;
    }
    if (year < 2050) {
        const double t = year - 2000;
        return 62.92 + 0.32217 * t + 0.005589 * t * t;
    }
    if (year < 2150) {
        return -20 + 32 * Square((year - 1820) / 100) - 0.5628 * (2150 - year);
    }
    return -20 + 32 * Square((year - 1820) / 100);
}

double UniversalFromDynamical(double jde) {
    const double year = 2000 + (jde - kJ2000) / 365.25;
    return jde - DeltaTSeconds(year) / kSecondsPerDay;
}

double DynamicalFromUniversal(double jd) {
    const double year = 2000 + (jd - kJ2000) / 365.25;
    return jd + DeltaTSeconds(year) / kSecondsPerDay;
}

double SunApparentLongitude(double jde) {
    const double t = (jde - kJ2000) / kDaysPerCentury;
    const double geometric = EarthLongitude(t / 10) / kRadiansPerDegree + 180;
    // FK5 frame, nutation and aberration, all in arc seconds.
    const double correction = -0.09033 + NutationInLongitude(t) - 20.4898 / SunDistance(t);
    return Reduce360(geometric + correction / kArcsecondsPerDegree);
}

double SunLongitudeMoment(double degrees, double jdeNear) {
    // Degrees still to go from the moment, within [-180, 180).
    const auto behind = [degrees](double jde) {
        const double d = degrees - SunApparentLongitude(jde);
        return d - 360 * std::floor((d + 180) / 360);
    };
    // A first step at the mean rate, then secant steps at the rate between the last two.
    constexpr int kMaxSteps = 12;
    constexpr double kSettled = 1e-7;  // days, under a hundredth of a second
    double previous = jdeNear;
    double previousBehind = behind(previous);
    double jde = previous + previousBehind * kDaysPerDegree;
    for (int step = 0; step < kMaxSteps; ++step) {
        const double now = behind(jde);
        const double rate =
            now != previousBehind ? (jde - previous) / (previousBehind - now) : kDaysPerDegree;
        const double delta = now * rate;
        previous = jde;
        previousBehind = now;
        jde += delta;
        if (std::abs(delta) < kSettled) {
            break;
        }
    }
    return jde;
}

double NewMoonMoment(int k) {
    const double kk = k;
    const double t = kk / 1236.85;
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double t4 = t3 * t;
    double jde = kNewMoonEpoch + kSynodicMonth * kk + 0.00015437 * t2 - 0.000000150 * t3 +
                 0.00000000073 * t4;
    const double e = 1 - 0.002516 * t - 0.0000074 * t2;
    const double m = 2.5534 + 29.10535670 * kk - 0.0000014 * t2 - 0.00000011 * t3;
    const double mm =
        201.5643 + 385.81693528 * kk + 0.0107582 * t2 + 0.00001238 * t3 - 0.000000058 * t4;
    const double f =
        160.7108 + 390.67050284 * kk - 0.0016118 * t2 - 0.00000227 * t3 + 0.000000011 * t4;
    const double omega = 124.7746 - 1.56375588 * kk + 0.0020672 * t2 + 0.00000215 * t3;

    // Periodic terms of the new moon (Meeus table 49.A).
    jde += -0.40720 * SinDegrees(mm) + 0.17241 * e * SinDegrees(m) + 0.01608 * SinDegrees(2 * mm) +
           0.01039 * SinDegrees(2 * f) + 0.00739 * e * SinDegrees(mm - m) -
           0.00514 * e * SinDegrees(mm + m) + 0.00208 * e * e * SinDegrees(2 * m) -
           0.00111 * SinDegrees(mm - 2 * f) - 0.00057 * SinDegrees(mm + 2 * f) +
           0.00056 * e * SinDegrees(2 * mm + m) - 0.00042 * SinDegrees(3 * mm) +
           0.00042 * e * SinDegrees(m + 2 * f) + 0.00038 * e * SinDegrees(m - 2 * f) -
           0.00024 * e * SinDegrees(2 * mm - m) - 0.00017 * SinDegrees(omega) -
           0.00007 * SinDegrees(mm + 2 * m) + 0.00004 * SinDegrees(2 * mm - 2 * f) +
           0.00004 * SinDegrees(3 * m) + 0.00003 * SinDegrees(mm + m - 2 * f) +
           0.00003 * SinDegrees(2 * mm + 2 * f) - 0.00003 * SinDegrees(mm + m + 2 * f) +
           0.00003 * SinDegrees(mm - m + 2 * f) - 0.00002 * SinDegrees(mm - m - 2 * f) -
           0.00002 * SinDegrees(3 * mm + m) + 0.00002 * SinDegrees(4 * mm);

    // Planetary arguments (Meeus ch. 49): argument at k = 0, rate per lunation, amplitude.
    struct TPlanetaryTerm {
        double Base;
        double Rate;
        double Amplitude;
    };
    static constexpr TPlanetaryTerm kPlanetary[] = {
        {251.88, 0.016321, 0.000165}, {251.83, 26.651886, 0.000164}, {349.42, 36.412478, 0.000126},
        {84.66, 18.206239, 0.000110}, {141.74, 53.303771, 0.000062}, {207.14, 2.453732, 0.000060},
        {154.84, 7.306860, 0.000056}, {34.52, 27.261239, 0.000047},  {207.19, 0.121824, 0.000042},
        {291.34, 1.844379, 0.000040}, {161.72, 24.198154, 0.000037}, {239.56, 25.513099, 0.000035},
        {331.55, 3.592518, 0.000023},
    };
    jde += 0.000325 * SinDegrees(299.77 + 0.107408 * kk - 0.009173 * t2);
    for (const TPlanetaryTerm& term : kPlanetary) {
        jde += term.Amplitude * SinDegrees(term.Base + term.Rate * kk);
    }
    return jde;
}

int NewMoonNumberAtOrBefore(double jde) {
    // The true new moon lies within about 0.6 days of the mean one.
    int k = static_cast<int>(std::floor((jde - kNewMoonEpoch) / kSynodicMonth)) + 1;
    while (NewMoonMoment(k) > jde) {
        --k;
    }
    return k;
}
