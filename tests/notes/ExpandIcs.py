#!/usr/bin/env python3
"""Reads an .ics with python3-icalendar and expands every VEVENT and VTODO with dateutil's
rrule, independently of libical: prints "UID date date ..." (dates as YYYY-MM-DD) for the days
from DTSTART to the last day of the year YEARS years later."""
import sys
from datetime import date, datetime

from dateutil.rrule import rruleset, rrulestr
from icalendar import Calendar


def day_of(value):
    return value.date() if isinstance(value, datetime) else value


def dates_of(component, name):
    found = component.get(name)
    if found is None:
        return []
    lists = found if isinstance(found, list) else [found]
    return [day_of(d.dt) for item in lists for d in item.dts]


def main():
    path, years = sys.argv[1], int(sys.argv[2])
    with open(path, "rb") as f:
        calendar = Calendar.from_ical(f.read())
    for component in calendar.walk():
        if component.name not in ("VEVENT", "VTODO"):
            continue
        start = day_of(component.decoded("DTSTART"))
        first = datetime(start.year, start.month, start.day)
        last = datetime(start.year + years, 12, 31)
        days = rruleset()
        days.rdate(first)
        if "RRULE" in component:
            rule = component["RRULE"].to_ical().decode()
            days.rrule(rrulestr(rule, dtstart=first))
        for d in dates_of(component, "RDATE"):
            days.rdate(datetime(d.year, d.month, d.day))
        for d in dates_of(component, "EXDATE"):
            days.exdate(datetime(d.year, d.month, d.day))
        found = [d.date().isoformat() for d in days.between(first, last, inc=True)]
        print(str(component["UID"]), " ".join(found))


if __name__ == "__main__":
    main()
