#!/usr/bin/python3
"""Compares Velmora's old calendar with one worked out independently from PyEphem.

For every day from FIRST to LAST (default 1900..2100) it compares the old-calendar year, month,
leap flag, day of month and the solar term that begins on the day. The reference builds the
calendar from PyEphem's new moons and the sun's apparent longitude (its own theories and delta T)
with the rule in common use: the month holding the winter solstice is the 11th; in a span of 13
months between two 11th months the first month without a principal term is the leap month.
Days are local days at UTC+9.

Needs python3-ephem (Debian package). Not run by the tests: it takes a minute or two.

Usage: tools/calendar/compare_ephem.py [FIRST LAST]   prints the differing days and their count
"""

import math
import os
import subprocess
import sys
import tempfile

import ephem

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
JST = 9 / 24
DEGREE = math.pi / 180


def local_day(moment):
    """Velmora's day number (days since 1899-12-30) of the local date of an ephem moment."""
    # ephem counts days from 1899-12-31 12:00 UT.
    return math.floor(float(moment) + 0.5 + JST) + 1


def sun_longitude(moment):
    """The sun's apparent geocentric longitude of the date, in degrees."""
    sun = ephem.Sun(moment)
    equatorial = ephem.Equatorial(sun.g_ra, sun.g_dec, epoch=moment)
    return math.degrees(float(ephem.Ecliptic(equatorial, epoch=moment).lon))


def term_moment(degrees, near):
    """The moment near `near` at which the sun's longitude reaches `degrees`."""
    moment = float(near)
    for _ in range(20):
        behind = (degrees - sun_longitude(moment) + 180) % 360 - 180
        moment += behind * 365.2422 / 360
        if abs(behind) < 1e-7:
            break
    return moment


def reference(first_year, last_year):
    """Day number -> (year, month, leap, day, term) for every day of the years."""
    # Every new moon and every solar term from a year before to a year after.
    new_moons = []
    moment = ephem.Date(f"{first_year - 2}/10/1")
    end = ephem.Date(f"{last_year + 2}/3/1")
    while moment < end:
        moment = ephem.next_new_moon(moment)
        new_moons.append(local_day(moment))
    terms = {}  # day -> term index
    principal_days = []
    winter_solstices = []
    for year in range(first_year - 2, last_year + 2):
        for index in range(24):
            degrees = 15 * index
            # Term k lies about 15.2 days after the March equinox per step (0 near 20 March).
            near = ephem.Date(f"{year}/3/20") + (index * 15.22)
            day = local_day(term_moment(degrees, near))
            terms[day] = index
            if index % 2 == 0:
                principal_days.append(day)
            if index == 18:
                winter_solstices.append(day)
    principal_days.sort()

    def month_start_index(day):
        return max(i for i, start in enumerate(new_moons) if start <= day)

    months = []  # (first day, month, leap)
    for solstice, next_solstice in zip(winter_solstices, winter_solstices[1:]):
        first = month_start_index(solstice)
        last = month_start_index(next_solstice)
        has_leap = last - first == 13
        number = 11
        leap_found = False
        for i in range(first, last):
            start, nxt = new_moons[i], new_moons[i + 1]
            leap = False
            if has_leap and not leap_found:
                leap = not any(start <= d < nxt for d in principal_days)
                leap_found = leap
            if i != first and not leap:
                number = number % 12 + 1
            months.append((start, number, leap))

    result = {}
    first_day = days_from_date(first_year, 1, 1)
    last_day = days_from_date(last_year, 12, 31)
    i = 0
    for day in range(first_day, last_day + 1):
        while i + 1 < len(months) and months[i + 1][0] <= day:
            i += 1
        start, number, leap = months[i]
        year, gmonth = noon_of(day).tuple()[:2]
        old_year = year - 1 if number > 9 and number > gmonth else year
        result[day] = (old_year, number, int(leap), day - start + 1, terms.get(day, -1))
    return result


def noon_of(day):
    """Noon UT of the date of a day number (ephem's day 0 is noon of 1899-12-31, day number 1)."""
    return ephem.Date(day - 1.0)


def days_from_date(year, month, day):
    # ephem.Date of a date is midnight UT, which is day number (Dublin) - 0.5.
    return int(float(ephem.Date(f"{year}/{month}/{day}")) + 0.5) + 1


def velmora(first_year, last_year):
    with tempfile.TemporaryDirectory() as work:
        exe = os.path.join(work, "KyurekiDump")
        sources = [os.path.join(ROOT, "tools", "calendar", "KyurekiDump.cpp")]
        sources += [os.path.join(ROOT, "src", "calendar", f)
                    for f in ("QReki.cpp", "Ephemeris.cpp", "LunisolarYear.cpp")]
        sources += [os.path.join(ROOT, "src", "storage", f)
                    for f in ("DayNumber.cpp", "Cp932.cpp", "VelmoraError.cpp")]
        compiler = os.environ.get("CXX", "c++")
        subprocess.run([compiler, "-std=c++20", "-O2", "-I", os.path.join(ROOT, "src"), "-o", exe]
                       + sources, check=True)
        out = subprocess.run([exe, str(first_year), str(last_year)], check=True,
                             capture_output=True, text=True).stdout
    days = {}
    for line in out.splitlines():
        day, *fields = map(int, line.split())
        days[day] = tuple(fields)
    return days


def main():
    first_year, last_year = (int(a) for a in sys.argv[1:3]) if len(sys.argv) == 3 else (1900, 2100)
    ours = velmora(first_year, last_year)
    theirs = reference(first_year, last_year)
    differing = 0
    for day in sorted(theirs):
        if ours.get(day) != theirs[day]:
            differing += 1
            date = noon_of(day)
            print(f"{str(date)[:10]}: velmora {ours.get(day)} ephem {theirs[day]}")
    print(f"{len(theirs)} days compared, {differing} differ")
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())
