#!/usr/bin/python3
"""Checks the solar terms, the 雑節 and the day's 干支 of `Velmora --almanac YEAR` against PyEphem.

For every day of the years FIRST..LAST (default 1900..2100) it works out, from PyEphem's sun (its
own theory and delta T), the solar term and the seasonal days of the day at UTC+9, and compares
them with the sekki and zassetsu columns of the program's almanac:
  the term k on the local day holding the instant the sun's apparent longitude reaches 15k
  degrees; 節分 the day before 立春; 彼岸入り and 彼岸明け 3 days before and after 春分 and 秋分;
  八十八夜, 二百十日, 二百二十日 the 88th, 210th and 220th day counting 立春 as the first;
  入梅 at 80 degrees, 半夏生 at 100, 土用入り at 27, 117, 207 and 297.
The day's 干支 is counted from 1949-10-01, a 甲子 day. It also checks that every day of each year
has one line, in order. A day that differs only because the instant lies within a minute of local
midnight is listed apart: the theories' delta T alone differ by more than that, so no almanac
can decide it.

Needs python3-ephem (Debian package). Not run by the tests: it takes a minute or so.

Usage: tools/almanac_check.py PATH/TO/Velmora [FIRST LAST]
Prints each differing day and a summary; exit status 1 when any day differs beyond those.
"""

import csv
import datetime
import io
import math
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "calendar"))

import ephem  # noqa: E402

from compare_ephem import JST, local_day, term_moment  # noqa: E402

DAY_ZERO = datetime.date(1899, 12, 30)
TERMS = ["春分", "清明", "穀雨", "立夏", "小満", "芒種", "夏至", "小暑", "大暑", "立秋", "処暑", "白露",
         "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至", "小寒", "大寒", "立春", "雨水", "啓蟄"]
STEMS = "甲乙丙丁戊己庚辛壬癸"
BRANCHES = "子丑寅卯辰巳午未申酉戌亥"
KOSHI_DAY = datetime.date(1949, 10, 1)
CLOSE_SECONDS = 60
HEADER = ["date", "era", "old_date", "rokuyo", "eto_day", "holiday", "sekki", "zassetsu"]


def longitude_day(year, degrees, close=None):
    """The date in the Gregorian year on which the sun reaches the longitude, at UTC+9. When the
    instant lies within CLOSE_SECONDS of local midnight, its offset from that day is added to the
    set close (as the days the instant might fall on)."""
    from_equinox = degrees - 360 if degrees >= 285 else degrees
    near = float(ephem.Date(f"{year}/3/20")) + from_equinox * 365.2422 / 360
    moment = term_moment(degrees, near)
    local = float(moment) + 0.5 + JST
    day = DAY_ZERO + datetime.timedelta(days=local_day(moment))
    fraction = local - math.floor(local)
    if close is not None and min(fraction, 1 - fraction) * 86400 < CLOSE_SECONDS:
        close.add(day)
    return day


def reference(year):
    """date -> (solar term, sorted seasonal days) for the days of the year that have any, and the
    days that depend on an instant too close to midnight to decide."""
    terms = {}
    seasonal = {}
    close = set()
    one = datetime.timedelta(days=1)

    def near_midnight(day, offsets):
        if day in close:
            close.update(day + k * one for k in offsets)

    for index, name in enumerate(TERMS):
        day = longitude_day(year, index * 15, close)
        near_midnight(day, (-1, 1))
        terms[day] = name

    def add(day, name):
        seasonal.setdefault(day, []).append(name)

    risshun = longitude_day(year, 315)
    add(risshun - one, "節分")
    for equinox in (longitude_day(year, 0), longitude_day(year, 180)):
        add(equinox - 3 * one, "彼岸入り")
        add(equinox + 3 * one, "彼岸明け")
    add(risshun + 87 * one, "八十八夜")
    add(risshun + 209 * one, "二百十日")
    add(risshun + 219 * one, "二百二十日")
    add(longitude_day(year, 80), "入梅")
    add(longitude_day(year, 100), "半夏生")
    for degrees in (27, 117, 207, 297):
        add(longitude_day(year, degrees), "土用入り")
    for base, offsets in ((risshun, (-2, -1, 86, 87, 88, 208, 209, 210, 218, 219, 220)),
                          (longitude_day(year, 0), (-4, -3, -2, 2, 3, 4)),
                          (longitude_day(year, 180), (-4, -3, -2, 2, 3, 4))):
        near_midnight(base, offsets)
    for degrees in (27, 117, 207, 297, 80, 100):
        day = longitude_day(year, degrees, close)
        near_midnight(day, (-1, 1))
    return terms, seasonal, close


def eto(day):
    index = (day - KOSHI_DAY).days % 60
    return STEMS[index % 10] + BRANCHES[index % 12]


def check_year(program, year):
    """The differences of one year, as lines of text."""
    run = subprocess.run([program, "--almanac", str(year)], capture_output=True, check=False)
    if run.returncode != 0:
        return [(False, f"{year}: status {run.returncode}: {run.stderr.decode(errors='replace')}")]
    rows = list(csv.reader(io.StringIO(run.stdout.decode("utf-8"))))
    if rows[0] != HEADER:
        return [(False, f"{year}: header {rows[0]}")]
    terms, seasonal, close = reference(year)
    problems = []
    day = datetime.date(year, 1, 1)
    for row in rows[1:]:
        if row[0] != day.isoformat():
            return problems + [(False, f"{year}: line {row[0]} where {day} was due")]
        expected = (terms.get(day, ""), sorted(seasonal.get(day, [])), eto(day))
        got = (row[6], sorted(filter(None, row[7].split("・"))), row[4])
        if got != expected:
            undecided = " (instant within a minute of midnight)" if day in close else ""
            problems.append((day in close, f"{day}: program {got}, ephem {expected}{undecided}"))
        day += datetime.timedelta(days=1)
    if day.year == year:
        problems.append((False, f"{year}: the lines end before {day}"))
    return problems


def main():
    if len(sys.argv) not in (2, 4):
        sys.exit(__doc__)
    program = sys.argv[1]
    first, last = (int(sys.argv[2]), int(sys.argv[3])) if len(sys.argv) == 4 else (1900, 2100)
    differing = 0
    undecided = 0
    days = 0
    for year in range(first, last + 1):
        for near, text in check_year(program, year):
            print(text)
            if near:
                undecided += 1
            else:
                differing += 1
        days += (datetime.date(year + 1, 1, 1) - datetime.date(year, 1, 1)).days
    print(f"{days} days of {first}..{last} checked; {differing} differ; "
          f"{undecided} differ on an instant within a minute of midnight")
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())
