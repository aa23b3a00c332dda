#!/usr/bin/env python3
"""Writes data/Velmora.hol, the holiday rules Velmora ships, from Japan's holiday law.

The national holidays (国民の祝日) become rules of the file: fixed days, n-th Mondays and the
equinox days as solar-term rules, each with the years of its law, and the one-off days of the
special laws. The days off that follow from those (振替休日 and 国民の休日) depend on the weekday
and on the equinox days, so they are worked out here, year by year through LAST_YEAR, from the
equinox days of Velmora's own solar-term series, and listed where the program's built-in rule (a
Monday after a Sunday holiday) does not already give them. The equinox days and, at the end, every
day's holiday text of the written file come from a small probe program built from the core, so
the file agrees with what Velmora shows: the script stops if any day differs from the law.

Usage: tools/holidays/make_holiday_file.py [--check]   (--check: compare, do not write)
"""

import datetime
import os
import subprocess
import sys
import tempfile

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
OUTPUT = os.path.join(ROOT, "data", "Velmora.hol")
FIRST_YEAR = 1948
LAST_YEAR = 2099  # the derived days are listed through this year
OPEN = 9999  # last year of a rule still in force

# Kinds of the file: 0 a national holiday (国民の祝日, or a day the law counts as one),
# 1 another day off (one-off days, 振替休日, 国民の休日).
SHUKUJITSU = 0
KYUJITSU = 1

SUBSTITUTE = "振替休日"
CITIZENS = "国民の休日"
SUBSTITUTE_LAW = datetime.date(1973, 4, 12)  # first day of the substitute holiday
CITIZENS_LAW = datetime.date(1985, 12, 27)  # first day of the citizens' holiday
NEW_RULES = datetime.date(2007, 1, 1)  # the 2005 amendment: both rules widened

# Rules of the national holidays: (kind of rule, month, day or n-th Monday, first, last, name).
# "fixed": a date; "monday": the n-th Monday of the month; "equinox": the day the solar term
# (0 春分, 12 秋分) begins. Each block is one law or amendment.
BLOCKS = [
    ("国民の祝日に関する法律 (1948年): 元日, 春分の日, 天皇誕生日, 憲法記念日, こどもの日, "
     "秋分の日, 文化の日, 勤労感謝の日", [
         ("fixed", 1, 1, 1949, OPEN, "元日"),
         ("equinox", 3, 0, 1949, OPEN, "春分の日"),
         ("fixed", 4, 29, 1949, 1988, "天皇誕生日"),
         ("fixed", 5, 3, 1949, OPEN, "憲法記念日"),
         ("fixed", 5, 5, 1949, OPEN, "こどもの日"),
         ("equinox", 9, 12, 1948, OPEN, "秋分の日"),
         ("fixed", 11, 3, 1948, OPEN, "文化の日"),
         ("fixed", 11, 23, 1948, OPEN, "勤労感謝の日"),
     ]),
    ("成人の日: 1月15日 (1948年の法), 1月の第2月曜日 (1998年改正, 2000年から)", [
        ("fixed", 1, 15, 1949, 1999, "成人の日"),
        ("monday", 1, 2, 2000, OPEN, "成人の日"),
    ]),
    ("1966年改正: 建国記念の日 (1967年から), 敬老の日, 体育の日", [
        ("fixed", 2, 11, 1967, OPEN, "建国記念の日"),
        ("fixed", 9, 15, 1966, 2002, "敬老の日"),
        ("fixed", 10, 10, 1966, 1999, "体育の日"),
    ]),
    ("1989年改正: 天皇誕生日は12月23日, 4月29日はみどりの日", [
        ("fixed", 12, 23, 1989, 2018, "天皇誕生日"),
        ("fixed", 4, 29, 1989, 2006, "みどりの日"),
    ]),
    ("1995年改正: 海の日 7月20日 (1996年から)", [
        ("fixed", 7, 20, 1996, 2002, "海の日"),
    ]),
    ("1998年改正 (2000年から): 体育の日は10月の第2月曜日; 2019年の名は体育の日（スポーツの日）", [
        ("monday", 10, 2, 2000, 2018, "体育の日"),
        ("monday", 10, 2, 2019, 2019, "体育の日（スポーツの日）"),
    ]),
    ("2001年改正 (2003年から): 海の日は7月の第3月曜日, 敬老の日は9月の第3月曜日", [
        ("monday", 7, 3, 2003, 2019, "海の日"),
        ("monday", 9, 3, 2003, OPEN, "敬老の日"),
    ]),
    ("2005年改正 (2007年から): 4月29日は昭和の日, みどりの日は5月4日", [
        ("fixed", 4, 29, 2007, OPEN, "昭和の日"),
        ("fixed", 5, 4, 2007, OPEN, "みどりの日"),
    ]),
    ("2014年改正: 山の日 8月11日 (2016年から)", [
        ("fixed", 8, 11, 2016, 2019, "山の日"),
    ]),
    ("天皇の退位等に関する皇室典範特例法 (2017年): 天皇誕生日は2月23日 (2020年から; "
     "2019年は天皇誕生日なし)", [
         ("fixed", 2, 23, 2020, OPEN, "天皇誕生日"),
     ]),
    ("オリンピック・パラリンピック特別措置法 (2018年, 2020年改正): 2020年と2021年の移動; "
     "体育の日はスポーツの日 (2020年から)", [
         ("fixed", 7, 23, 2020, 2020, "海の日"),
         ("fixed", 7, 24, 2020, 2020, "スポーツの日"),
         ("fixed", 8, 10, 2020, 2020, "山の日"),
         ("fixed", 7, 22, 2021, 2021, "海の日"),
         ("fixed", 7, 23, 2021, 2021, "スポーツの日"),
         ("fixed", 8, 8, 2021, 2021, "山の日"),
         ("monday", 7, 3, 2022, OPEN, "海の日"),
         ("fixed", 8, 11, 2022, OPEN, "山の日"),
         ("monday", 10, 2, 2022, OPEN, "スポーツの日"),
     ]),
]

# Days off by special laws: (date, name, counted as a national holiday).
ONE_OFF = [
    (datetime.date(1959, 4, 10), "結婚の儀", False),  # wedding of Crown Prince Akihito
    (datetime.date(1989, 2, 24), "大喪の礼", False),  # funeral of Emperor Shōwa
    (datetime.date(1990, 11, 12), "即位礼正殿の儀", False),  # enthronement ceremony
    (datetime.date(1993, 6, 9), "結婚の儀", False),  # wedding of Crown Prince Naruhito
    # Accession day and enthronement ceremony of 2019, counted as national holidays.
    (datetime.date(2019, 5, 1), "休日（祝日扱い）", True),
    (datetime.date(2019, 10, 22), "休日（祝日扱い）", True),
]

ONE_OFF_COMMENT = ("特別法による休日: 皇太子明仁親王の結婚の儀, 昭和天皇の大喪の礼, 即位礼正殿の儀, "
                   "皇太子徳仁親王の結婚の儀, 2019年の即位の日と即位礼正殿の儀 (祝日扱い)")
DERIVED_COMMENT = [
    "振替休日と国民の休日 ({first}年から{last}年まで; 春分の日と秋分の日は上の節気の規則と同じ計算による)",
    "- 振替休日: 1973年4月12日から日曜日の祝日の翌月曜日 (プログラムに組込み, ここには書かない);",
    "  2007年から日曜日の祝日の後の最も近い祝日でない日 (ゴールデンウィークの火曜日, 水曜日).",
    "- 国民の休日: 1985年12月27日から前日と翌日が祝日の日 (2006年までは日曜日と振替休日を除く);",
    "  1988年から2006年の5月4日, 2007年からは敬老の日と秋分の日にはさまれた日など.",
]
HEADER = [
    "Velmora の祝日ファイル: 国民の祝日に関する法律 (1948年法律第178号) とその改正, 特別法による.",
    "tools/holidays/make_holiday_file.py が書いたもの. 書式: 月,日,曜日または節気,開始年,終了年,種別,名前",
    "日: 1..31 は日付, 0 は節気 (3列目: 0 春分, 12 秋分) の始まる日, -n は第n週 (3列目の曜日: 1 日曜..7 土曜).",
    "種別: 0 国民の祝日 (祝日扱いの日を含む), 1 その他の休日.",
    "同じ月, 日と名前の行は後の行が前の行を置換えるので, 年の範囲の違う同じ規則は名前の後の空白で区別する",
    "(空白は表示されない).",
]


def probe_program(workdir):
    """Builds the probe from the core's calendar and storage sources; returns its path."""
    exe = os.path.join(workdir, "HolidayProbe")
    sources = [os.path.join(ROOT, "tools", "holidays", "HolidayProbe.cpp")]
    sources += [os.path.join(ROOT, "src", "calendar", f)
                for f in ("QReki.cpp", "Ephemeris.cpp", "LunisolarYear.cpp", "HolidayList.cpp")]
    sources += [os.path.join(ROOT, "src", "storage", f)
                for f in ("DayNumber.cpp", "Cp932.cpp", "SafeWrite.cpp", "Report.cpp",
                          "VelmoraError.cpp")]
    compiler = os.environ.get("CXX", "c++")
    subprocess.run([compiler, "-std=c++20", "-O2", "-I", os.path.join(ROOT, "src"), "-o", exe]
                   + sources, check=True)
    return exe


def run_probe(exe, *args):
    return subprocess.run([exe, *map(str, args)], check=True, capture_output=True,
                          text=True).stdout.splitlines()


def equinox_days(exe):
    days = {}
    for line in run_probe(exe, "equinoxes", FIRST_YEAR, LAST_YEAR):
        year, march, september = map(int, line.split())
        if not march or not september:
            sys.exit(f"no equinox found in {year}")
        days[year] = (datetime.date(year, 3, march), datetime.date(year, 9, september))
    return days


def nth_monday(year, month, n):
    first = datetime.date(year, month, 1)
    return first + datetime.timedelta(days=(7 - first.weekday()) % 7 + 7 * (n - 1))


def national_holidays(equinoxes):
    """Date -> name of every national holiday (and day counted as one), FIRST..LAST_YEAR."""
    days = {}
    for _, rules in BLOCKS:
        for kind, month, day, first, last, name in rules:
            for year in range(max(first, FIRST_YEAR), min(last, LAST_YEAR) + 1):
                if kind == "fixed":
                    date = datetime.date(year, month, day)
                elif kind == "monday":
                    date = nth_monday(year, month, day)
                else:
                    date = equinoxes[year][0 if month == 3 else 1]
                if date in days:
                    sys.exit(f"two holidays on {date}: {days[date]}, {name}")
                days[date] = name
    for date, name, counted in ONE_OFF:
        if counted:
            days[date] = name
    return days


def days_off(national):
    """Date -> name of every day off by the law: national holidays, one-off days, 振替休日
    and 国民の休日."""
    one_day = datetime.timedelta(days=1)
    substitutes = {}
    for date in sorted(national):
        if date.weekday() != 6 or date + one_day < SUBSTITUTE_LAW:
            continue
        moved = date + one_day
        if date >= NEW_RULES:
            while moved in national:
                moved += one_day
        if moved not in national:
            substitutes[moved] = SUBSTITUTE
    citizens = {}
    start = datetime.date(FIRST_YEAR, 1, 1)
    for offset in range((datetime.date(LAST_YEAR, 12, 31) - start).days + 1):
        date = start + datetime.timedelta(days=offset)
        if date < CITIZENS_LAW or date in national or date in substitutes:
            continue
        if date < NEW_RULES and date.weekday() == 6:
            continue
        if date - one_day in national and date + one_day in national:
            citizens[date] = CITIZENS
    result = dict(national)
    result.update({date: name for date, name, _ in ONE_OFF})
    result.update(substitutes)
    result.update(citizens)
    return result


def builtin_substitute(date, national):
    """True when the program's own rule already gives date as 振替休日."""
    return (date.weekday() == 0 and date >= SUBSTITUTE_LAW
            and date - datetime.timedelta(days=1) in national)


def derived_rules(law, national):
    """Rules for the 振替休日 and 国民の休日 the built-in rule does not give, one per run of
    consecutive years with the same date and name."""
    years = {}
    for date, name in law.items():
        if name in (SUBSTITUTE, CITIZENS) and not builtin_substitute(date, national):
            years.setdefault((date.month, date.day, name), []).append(date.year)
    rules = []
    for (month, day, name), found in years.items():
        found.sort()
        run_start = found[0]
        for previous, year in zip(found, found[1:] + [None]):
            if year != previous + 1:
                rules.append((month, day, run_start, previous, name))
                run_start = year
    rules.sort(key=lambda rule: (rule[2], rule[0], rule[1]))
    return rules


def file_lines(law, national):
    """The file's lines, comments as (text,), rules as 7-tuples."""
    lines = [(text,) for text in HEADER]
    for comment, rules in BLOCKS:
        lines.append(("",))
        lines.append((comment,))
        for kind, month, day, first, last, name in rules:
            if kind == "fixed":
                lines.append((month, day, 0, first, last, SHUKUJITSU, name))
            elif kind == "monday":
                lines.append((month, -day, 2, first, last, SHUKUJITSU, name))
            else:
                lines.append((month, 0, day, first, last, SHUKUJITSU, name))
    lines.append(("",))
    lines.append((ONE_OFF_COMMENT,))
    for date, name, counted in ONE_OFF:
        kind = SHUKUJITSU if counted else KYUJITSU
        lines.append((date.month, date.day, 0, date.year, date.year, kind, name))
    lines.append(("",))
    lines += [(text.format(first=FIRST_YEAR, last=LAST_YEAR),) for text in DERIVED_COMMENT]
    for month, day, first, last, name in derived_rules(law, national):
        lines.append((month, day, 0, first, last, KYUJITSU, name))
    return set_apart(lines)


def set_apart(lines):
    """Gives rules with the same date code and name trailing blanks, the latest rule none, so
    that no line of the file replaces another."""
    groups = {}
    for index, line in enumerate(lines):
        if len(line) == 7:
            groups.setdefault((line[0], line[1], line[6]), []).append(index)
    lines = list(lines)
    for indices in groups.values():
        indices.sort(key=lambda i: -lines[i][3])
        for blanks, index in enumerate(indices):
            line = lines[index]
            lines[index] = line[:6] + (line[6] + " " * blanks,)
    return lines


def render(lines):
    out = []
    for line in lines:
        if len(line) == 1:
            out.append(f"; {line[0]}" if line[0] else "")
            continue
        *numbers, name = line
        if " " in name:
            name = '"' + name + '"'
        out.append(",".join(str(n) for n in numbers) + "," + name)
    return ("\r\n".join(out) + "\r\n").encode("cp932")


def check(exe, path, law):
    """Every day FIRST..LAST_YEAR: the file, read by the core, gives the law's day off."""
    shown = {}
    for line in run_probe(exe, "days", path, FIRST_YEAR, LAST_YEAR):
        date, mark, text = line.split("\t")
        shown[datetime.date.fromisoformat(date)] = (mark != "-", text)
    expected = {date: (True, name) for date, name in law.items()}
    faults = [(date, expected.get(date), shown.get(date))
              for date in sorted(set(shown) | set(expected))
              if expected.get(date) != shown.get(date)]
    for fault in faults[:20]:
        print("differs:", *fault, file=sys.stderr)
    return not faults


def main():
    only_check = "--check" in sys.argv[1:]
    with tempfile.TemporaryDirectory() as workdir:
        exe = probe_program(workdir)
        national = national_holidays(equinox_days(exe))
        law = days_off(national)
        contents = render(file_lines(law, national))
        if only_check:
            with open(OUTPUT, "rb") as shipped:
                if shipped.read() != contents:
                    sys.exit(f"{OUTPUT} is not what the law gives; run {sys.argv[0]}")
            path = OUTPUT
        else:
            path = os.path.join(workdir, "Velmora.hol")
            with open(path, "wb") as out:
                out.write(contents)
        if not check(exe, path, law):
            sys.exit("the holiday file does not give the law's days off")
        if not only_check:
            with open(OUTPUT, "wb") as out:
                out.write(contents)
            print(f"wrote {OUTPUT}: {len(law)} days off {FIRST_YEAR}-{LAST_YEAR}")


if __name__ == "__main__":
    main()
