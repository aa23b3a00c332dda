#pragma once

// Moments of the sun's apparent longitude and of the new moons, precise to well under a minute
// from 1800 to 2200.
//
// Moments are Julian Days. "Dynamical" moments (JDE) are in Terrestrial Time, the uniform scale
// of the theories; the civil clock is Universal Time, behind it by delta T.
//
// Sources: J. Meeus, Astronomical Algorithms (2nd ed., 1998): the sun from the truncated VSOP87
// series of the earth's heliocentric longitude (ch. 25, 32, appendix III) with the FK5
// correction, nutation in longitude (ch. 22) and aberration; the new moons from the series of
// ch. 49 with their periodic and planetary terms. Delta T from the polynomials of
// F. Espenak and J. Meeus, Five Millennium Canon of Solar Eclipses (NASA/TP-2006-214141).

// Delta T = TT - UT in seconds for a decimal Gregorian year.
double DeltaTSeconds(double year);

// The Universal Time of a dynamical moment.
double UniversalFromDynamical(double jde);
// The dynamical moment of a Universal Time.
double DynamicalFromUniversal(double jd);

// The sun's apparent geocentric longitude, referred to the mean equinox of the date, in degrees
// [0, 360).
double SunApparentLongitude(double jde);

// The dynamical moment, within about 20 days of jdeNear, at which the sun's apparent longitude
// is the given number of degrees.
double SunLongitudeMoment(double degrees, double jdeNear);

// The dynamical moment of new moon number k, counted from the new moon of 2000-01-06 (k = 0).
double NewMoonMoment(int k);
// The number k of the last new moon at or before the dynamical moment jde.
int NewMoonNumberAtOrBefore(double jde);
