"""Writes a RedNotebook journal into the folder given, with RedNotebook's own storage code.

Each day is given as a JSON object {"YYYY-MM-DD": {"text": ..., "Category": {"entry": null}}}
on standard input; the month files are written as RedNotebook saves them.
"""
import json
import sys

sys.path.insert(0, "/usr/share/rednotebook")

from rednotebook import storage  # noqa: E402
from rednotebook.data import Month  # noqa: E402

journal_dir = sys.argv[1]
months = {}
for date, content in json.load(sys.stdin).items():
    year, month, day = (int(part) for part in date.split("-"))
    key = storage.format_year_and_month(year, month)
    months.setdefault(key, Month(year, month))
    months[key].get_day(day).content = content
    months[key].edited = True
storage.save_months_to_disk(months, journal_dir)
