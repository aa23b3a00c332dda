#!/usr/bin/env bash
# The command line as scripts use it: notes exported to iCalendar without any display, imported
# into another diary (backed up first, nothing twice), and every wrong call ending with a message
# and a non-zero status, leaving the diary as it was.
set -euo pipefail
exe=$1
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -TERM "$p" 2>/dev/null && wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" XDG_STATE_HOME="$work/state"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER

# Runs the program; its status in $rc, its output in out and err.
run() {
  rc=0
  "$exe" "$@" >"$work/out" 2>"$work/err" || rc=$?
}
cp932() { iconv -f utf-8 -t cp932; }

mkdir "$work/from" "$work/to"
printf '0,0,15,2024,9999,0,ゴミ出し,\r\n0,0,17373,2024,9999,0,月末の期間,\r\n' | cp932 >"$work/from/Velmora.tdo"
printf '3,5,3,1970,9999,0,花子,\r\n' | cp932 >"$work/from/Velmora.mem"
printf '0,0,15,2024,9999,0,ゴミ出し,\r\n0,6,1,2020,9999,0,衣替え,\r\n' | cp932 >"$work/to/Velmora.tdo"
cp "$work/to/Velmora.tdo" "$work/to-before.tdo"

# Export with no display at all.
run --folder "$work/from" --export ics --output "$work/notes.ics"
[ "$rc" -eq 0 ] || fail "export: status $rc: $(cat "$work/err")"
[ "$(grep -c '^BEGIN:VTODO' "$work/notes.ics")" -eq 2 ] || fail "export: not two reminders"
[ "$(grep -c '^BEGIN:VEVENT' "$work/notes.ics")" -eq 1 ] || fail "export: not one anniversary"
grep -q '月末の期間' "$work/out" || fail "export: the rule written as dates is not listed"

# Without --folder, the diary beside the program.
mkdir "$work/home"
cp "$exe" "$work/home/Velmora"
cp "$work/from/Velmora.mem" "$work/home/"
rc=0
"$work/home/Velmora" --export ics --output "$work/home.ics" >/dev/null 2>"$work/err" || rc=$?
[ "$rc" -eq 0 ] && grep -q '^SUMMARY:花子' "$work/home.ics" || fail "export from the program's folder"

# Installed as /usr/bin/velmora (lowercase, in a folder without a diary): the notes go into the
# user's diary folder under the names the window reads, Velmora.tdo and Velmora.mem.
mkdir "$work/bin" "$work/named"
cp "$exe" "$work/bin/velmora"
for folder in "" "$work/named"; do
  rc=0
  HOME="$work/user" "$work/bin/velmora" ${folder:+--folder "$folder"} --import ics \
    "$work/notes.ics" >/dev/null 2>"$work/err" || rc=$?
  diary=${folder:-$work/user/.local/share/Velmora}
  [ "$rc" -eq 0 ] || fail "import by the installed program: status $rc: $(cat "$work/err")"
  [ -f "$diary/Velmora.tdo" ] && [ -f "$diary/Velmora.mem" ] ||
    fail "the installed program did not write Velmora.tdo and Velmora.mem in $diary"
  [ ! -e "$diary/velmora.tdo" ] || fail "the installed program named the notes after itself"
done

# Import: the existing note stays once, the others are added, the old file is backed up.
run --folder "$work/to" --import ics "$work/notes.ics"
[ "$rc" -eq 0 ] || fail "import: status $rc: $(cat "$work/err")"
tdo=$(iconv -f cp932 -t utf-8 "$work/to/Velmora.tdo")
[ "$(grep -c 'ゴミ出し' <<<"$tdo")" -eq 1 ] || fail "import: the existing note was duplicated"
grep -q '衣替え' <<<"$tdo" || fail "import: an existing note was lost"
grep -q '月末の期間' <<<"$tdo" || fail "import: a note is missing"
iconv -f cp932 -t utf-8 "$work/to/Velmora.mem" | grep -q '^3,5,3,1970,9999,0,花子,' ||
  fail "import: the anniversary is missing"
backup=$(find "$work/to/backup" -name Velmora.tdo | head -n 1)
[ -n "$backup" ] && cmp -s "$backup" "$work/to-before.tdo" || fail "import: no backup of the old file"

# The same file again adds nothing.
cp "$work/to/Velmora.tdo" "$work/to-after.tdo"
run --folder "$work/to" --import ics "$work/notes.ics"
[ "$rc" -eq 0 ] || fail "second import: status $rc"
cmp -s "$work/to/Velmora.tdo" "$work/to-after.tdo" || fail "second import changed the notes"

# Pages through the command line: out as daily Markdown files with no display, into a new diary.
printf '46090,3,,"題","本文の一行目",,,\r\n' | cp932 >"$work/from/2026.dat"
run --folder "$work/from" --export markdown --output "$work/md"
[ "$rc" -eq 0 ] && [ -f "$work/md/2026-03-09.md" ] || fail "markdown export: status $rc: $(cat "$work/err")"
mkdir "$work/pages"
run --folder "$work/pages" --import markdown "$work/md"
[ "$rc" -eq 0 ] || fail "markdown import: status $rc: $(cat "$work/err")"
iconv -f cp932 -t utf-8 "$work/pages/2026.dat" | grep -q '本文の一行目' || fail "markdown import: the page is missing"

# Every wrong call: a message, a non-zero status, the diary untouched.
expect_refusal() {
  local what=$1 word=$2
  shift 2
  run "$@"
  [ "$rc" -ne 0 ] || fail "$what: status 0"
  grep -q -- "$word" "$work/err" || fail "$what: no message naming $word: $(cat "$work/err")"
  cmp -s "$work/to/Velmora.tdo" "$work/to-after.tdo" || fail "$what: the notes changed"
}
printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nUID:a\r\nSUMMARY:x\r\nDTSTART;VALUE=DATE:2026XX01\r\nEND:VTODO\r\nEND:VCALENDAR\r\n' >"$work/broken.ics"
expect_refusal "broken file" "broken.ics" --folder "$work/to" --import ics "$work/broken.ics"
expect_refusal "missing file" "nothing.ics" --folder "$work/to" --import ics "$work/nothing.ics"
expect_refusal "unknown export format" "pdf" --folder "$work/to" --export pdf --output "$work/x"
expect_refusal "unknown import format" "vcard" --folder "$work/to" --import vcard "$work/notes.ics"
expect_refusal "bad date" "2026-13-01" --folder "$work/to" --export ics --output "$work/x" --from 2026-13-01
expect_refusal "dates reversed" "--from" --folder "$work/to" --export ics --output "$work/x" --from 2026-05-01 --to 2026-04-01
expect_refusal "missing folder" "$work/none" --folder "$work/none" --export ics --output "$work/x"
expect_refusal "no output" "--output" --folder "$work/to" --export ics
# --folder alone opens the window; any other option asks for an export or an import.
expect_refusal "no action" "--export" --folder "$work/to" --with-private-memo
expect_refusal "unknown option" "colour" --colour red
[ ! -e "$work/x" ] || fail "a refused export wrote its output"

run --help
[ "$rc" -eq 0 ] && grep -q -- '--import' "$work/out" || fail "--help"
run --version
[ "$rc" -eq 0 ] && grep -q '[0-9]\.[0-9]' "$work/out" || fail "--version"

# While a window has the diary open, an import is refused; the window's notes stay its own.
mkdir "$work/open"
cp "$exe" "$work/open/Velmora"
cp "$work/to-before.tdo" "$work/open/Velmora.tdo"
QT_QPA_PLATFORM=offscreen "$work/open/Velmora" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [ -n "$(find "$work/run" -name '*.lock' 2>/dev/null)" ] && break
  sleep 0.1
done
[ -n "$(find "$work/run" -name '*.lock')" ] || fail "the window took no lock"
run --folder "$work/open" --import ics "$work/notes.ics"
[ "$rc" -ne 0 ] || fail "import beside an open window: status 0"
grep -q 'Velmora を閉じて' "$work/err" || fail "import beside an open window: $(cat "$work/err")"
cmp -s "$work/open/Velmora.tdo" "$work/to-before.tdo" || fail "import beside an open window wrote"
run --folder "$work/open" --import markdown "$work/md"
[ "$rc" -ne 0 ] && grep -q 'Velmora を閉じて' "$work/err" || fail "page import beside an open window: $rc"
[ ! -e "$work/open/2026.dat" ] || fail "page import beside an open window wrote"
# The almanac of a year as UTF-8 CSV, the holidays from the diary folder's holiday file.
mkdir "$work/almanac"
printf '1,1,0,1949,9999,0,元日\r\n3,0,0,1949,9999,0,春分の日\r\n' | cp932 >"$work/almanac/Velmora.hol"
run --folder "$work/almanac" --almanac 2026
[ "$rc" -eq 0 ] || fail "almanac: status $rc: $(cat "$work/err")"
[ "$(head -n 1 "$work/out")" = "date,era,old_date,rokuyo,eto_day,holiday,sekki,zassetsu" ] ||
  fail "almanac: header $(head -n 1 "$work/out")"
[ "$(wc -l <"$work/out")" -eq 366 ] || fail "almanac: not a line per day of 2026"
for line in '2026-01-01,令和8年1月1日,旧11月13日,大安,乙亥,元日,,' \
  '2026-02-03,令和8年2月3日,旧12月16日,先負,戊申,,,節分' \
  '2026-02-04,令和8年2月4日,旧12月17日,仏滅,己酉,,立春,' \
  '2026-03-20,令和8年3月20日,旧2月2日,先負,癸巳,春分の日,春分,' \
  '2026-07-20,令和8年7月20日,旧6月7日,赤口,乙未,,,土用入り'; do
  grep -qxF "$line" "$work/out" || fail "almanac: no line $line"
done
run --folder "$work/almanac" --almanac 1899
[ "$rc" -eq 2 ] && [ ! -s "$work/out" ] || fail "almanac of 1899: status $rc"
run --folder "$work/almanac" --almanac 2026 2027
[ "$rc" -eq 2 ] && [ ! -s "$work/out" ] || fail "almanac with a stray argument: status $rc"
run --folder "$work/almanac" --almanac 2026 --export ics --output "$work/x.ics"
[ "$rc" -eq 2 ] && [ ! -e "$work/x.ics" ] || fail "almanac with export: status $rc"
echo "command line: all checks passed"
