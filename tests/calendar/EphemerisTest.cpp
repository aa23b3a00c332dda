#include "calendar/Ephemeris.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kArcsecond = 1.0 / 3600;
constexpr double kSecond = 1.0 / 86400;

TEST(SunApparentLongitude, WorkedExamplesOfTheLiterature) {
    struct {
        const char* source;
        double jde;
        double degrees;
        double tolerance;
    } const cases[] = {
        // Meeus, Astronomical Algorithms, example 25.b: 1992 Oct 13.0 TD, 199°54'21.818" from the
        // complete VSOP87; the truncated series are within a second of arc.
        {"Meeus 25.b", 2448908.5, 199 + 54.0 / 60 + 21.818 / 3600, 1 * kArcsecond},
        // Meeus example 27.a: the June solstice of 1962 at JDE 2437837.39245, from the series of
        // ch. 27, which hold to about a minute of time (2.5" of longitude).
        {"Meeus 27.a", 2437837.39245, 90, 2.5 * kArcsecond},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        double difference = SunApparentLongitude(c.jde) - c.degrees;
        difference -= 360 * std::round(difference / 360);
        EXPECT_NEAR(difference, 0, c.tolerance);
    }
}

TEST(SunLongitudeMoment, FindsTheMomentFromEitherSide) {
    // Meeus example 27.a again, searched from 20 days before and after.
    for (const double offset : {-20.0, -1.0, 0.0, 1.0, 20.0}) {
        EXPECT_NEAR(SunLongitudeMoment(90, 2437837.39245 + offset), 2437837.39245, 60 * kSecond)
            << offset;
    }
    // 0 degrees is reached from just below 360.
    const double equinox = SunLongitudeMoment(0, 2451623.8);
    EXPECT_NEAR(std::fmod(SunApparentLongitude(equinox) + 180, 360) - 180, 0, 0.01 * kArcsecond);
}

TEST(NewMoonMoment, WorkedExampleAndNumbering) {
    // Meeus example 49.a: the new moon of 1977 February, k = -283, JDE 2443192.65118.
    EXPECT_NEAR(NewMoonMoment(-283), 2443192.65118, 1 * kSecond);
    // k = 0 is the new moon of 2000-01-06 (18:14 UT).
    EXPECT_NEAR(NewMoonMoment(0), 2451550.26, 0.01);
    const double february1977 = NewMoonMoment(-283);
    struct {
        double jde;
        int k;
    } const cases[] = {
        {february1977, -283},      {february1977 - kSecond, -284},
        {february1977 + 29, -283}, {2451550.5, 0},
        {2451550.0, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NewMoonNumberAtOrBefore(c.jde), c.k) << c.jde;
    }
}

TEST(DeltaT, PolynomialsOfTheCanon) {
    struct {
        double year, seconds;
    } const cases[] = {
        // Values of Espenak and Meeus's polynomials at the start of their spans; each span
        // meets the next within a second.
        {1900, -2.79}, {1920, 21.20}, {1950, 29.07}, {1975, 45.45}, {2000, 63.86}, {2050, 93.00},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(DeltaTSeconds(c.year), c.seconds, 0.01) << c.year;
    }
    for (const double boundary : {1920.0, 1941.0, 1961.0, 1986.0, 2005.0, 2050.0, 2150.0}) {
        EXPECT_NEAR(DeltaTSeconds(boundary - 1e-9), DeltaTSeconds(boundary), 1.5) << boundary;
    }
    EXPECT_NEAR(UniversalFromDynamical(DynamicalFromUniversal(2451545)), 2451545, 1e-8);
}

}  // namespace
