#!/usr/bin/env bash
# Velmora as a user meets it: the real program on an X display of its own, typed into with the
# keyboard, ended by SIGTERM as a logout ends it, started twice on one folder, and started again
# after a crash left its lock behind or an earlier version's came from another computer.
set -euo pipefail
exe=$1
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cp "$exe" "$work/Velmora"
# A portable install: the diary lies beside the program from the first start.
: >"$work/Velmora.portable"
# What an interrupted save of an earlier version left behind (or a copy named like it), a copy of
# the user's own, backups and a file of someone else's.
printf 'half' > "$work/2026.dat.Ab12Cd"
printf 'mine' > "$work/2024.dat.backup"
printf 'kept' > "$work/2024.dat.bak"
printf 'kept' > "$work/2024.dat.bak123"
printf 'theirs' > "$work/notes.txt.Ab12Cd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "no X display"
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb
# The user's runtime folder, where the running copy serves its socket.
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" XDG_STATE_HOME="$work/state"
unset SESSION_MANAGER

# Starts the program in the background and waits for its window (titled "Velmora (v.0.1.0)");
# sets $pid and $window. With "box", first closes the message box (titled "Velmora") shown
# before the window.
start() {
  "$work/Velmora" >>"$work/log" 2>&1 &
  pid=$!
  pids+=("$pid")
  if [ "${1:-}" = box ]; then
    box=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" --name '^Velmora$' | head -n 1)
    [ -n "$box" ] || fail "no message box"
    xdotool windowfocus --sync "$box" key Return
  fi
  window=$(timeout 30 xdotool search --sync --pid "$pid" --name '^Velmora \(' | head -n 1)
  [ -n "$window" ] || fail "no window"
}

# The start moves the files named like temporaries into the backup folder and says so in a box;
# nothing is deleted. Typing right after the start goes into today's page; SIGTERM writes it and
# ends the program.
start box
first=$pid
[ ! -e "$work/2026.dat.Ab12Cd" ] || fail "the stale temporary was left"
[ "$(cat "$work/backup/2026.dat.Ab12Cd")" = half ] || fail "the stale temporary was not kept"
[ "$(cat "$work/backup/2024.dat.backup")" = mine ] || fail "the user's copy was not kept"
for kept in 2024.dat.bak 2024.dat.bak123 notes.txt.Ab12Cd; do
  [ -e "$work/$kept" ] || fail "$kept was moved or removed"
done
lock=$(echo "$work"/run/velmora-*.lock)
[ -S "${lock%.lock}" ] || fail "no socket in the runtime folder"
[ -f "$lock" ] || fail "no lock in the runtime folder"
[ ! -e "$work/Velmora.lock" ] || fail "a lock in the diary folder, which a sync service carries"
# The window carries the program's icon at the sizes panels ask for, and the class the desktop
# entry names (read from the top-level window, which has the class).
top=""
for w in $(xdotool search --pid "$pid" --name '^Velmora'); do
  xprop -id "$w" WM_CLASS | grep -q '"Velmora", "Velmora"$' && top=$w
done
[ -n "$top" ] || fail "no window of class Velmora"
icon=$(xprop -id "$top" _NET_WM_ICON)
for side in 16 32 64 128; do
  grep -q "Icon ($side x $side)" <<<"$icon" || fail "no $side px window icon"
done
xdotool windowfocus --sync "$window"
xdotool type --delay 20 "written before the logout"
sleep 0.5

# A second start on the same folder hands over to the first and stops.
timeout 20 "$work/Velmora" >>"$work/log" 2>&1 || fail "second start did not end by itself"
kill -0 "$first" || fail "the first copy is gone"

kill -TERM "$first"
timeout 20 tail --pid="$first" -f /dev/null || fail "SIGTERM did not end the program"
wait "$first" || fail "the program ended with an error after SIGTERM"
grep -aq "written before the logout" "$work"/*.dat || fail "the typed page is not in the year file"
[ -f "$work/Velmora.ini" ] || fail "the settings were not written"
[ ! -e "$lock" ] || fail "the lock was left behind"

# A crash leaves the lock; the next start takes it over. That start finds the year file the
# first one wrote and copies it into today's backup folder.
start
for _ in $(seq 100); do compgen -G "$work/backup/*/$(date +%F)/*.dat" >/dev/null && break; sleep 0.1; done
backup=$(echo "$work"/backup/*/"$(date +%F)")
cmp -s "$backup/$(date +%Y).dat" "$work/$(date +%Y).dat" || fail "no backup of the year file"
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
[ -e "$lock" ] || fail "no lock left by the crash"
start
kill -HUP "$pid"
timeout 20 tail --pid="$pid" -f /dev/null || fail "SIGHUP did not end the program"
[ ! -e "$lock" ] || fail "the lock was left behind"

# An earlier version's lock in the diary folder, come from another computer with a synced
# folder, names no copy running here: removed.
printf '4242\nVelmora\nanother-computer\n' > "$work/Velmora.lock"
start
[ "$(head -n 1 "$lock")" = "$pid" ] || fail "the lock is not this copy's"
[ ! -e "$work/Velmora.lock" ] || fail "an earlier version's lock was not removed"
kill -TERM "$pid"
timeout 20 tail --pid="$pid" -f /dev/null || fail "SIGTERM did not end the program"
[ ! -e "$lock" ] || fail "the lock was left behind"

# A logout while a start-up box waits for an answer ends the program all the same.
rm -f "$work/Velmora.ini"
printf 'DIARYTABS=x1\r\n' > "$work/Velmora.ini"
start
kill -TERM "$pid"
timeout 10 tail --pid="$pid" -f /dev/null || fail "SIGTERM during a start-up box did not end the program"
wait "$pid" || fail "the program ended with an error after SIGTERM during a start-up box"

# A logout with the folder unwritable and a dialog open ends within seconds, shows no box, and
# the page lies in the rescue folder, readable by its owner alone. Folder permissions stop only
# an unprivileged user, so root runs the program as nobody.
ro=$(mktemp -d)
cleanup_ro() { chmod -R u+w "$ro" 2>/dev/null || true; rm -rf "$ro"; cleanup; }
trap cleanup_ro EXIT
mkdir "$ro/diary" "$ro/state"
cp "$exe" "$ro/diary/Velmora"
# A diary (its settings) that the folder being read-only does not move elsewhere.
: >"$ro/diary/Velmora.ini"
chmod 755 "$ro"
as_user=()
if [ "$(id -u)" = 0 ]; then
  chown -R nobody "$ro/diary" "$ro/state"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
env -u XDG_RUNTIME_DIR HOME="$ro/state" XDG_STATE_HOME="$ro/state" "${as_user[@]}" \
  "$ro/diary/Velmora" >>"$work/log" 2>&1 &
pid=$!
pids+=("$pid")
window=$(timeout 30 xdotool search --sync --pid "$pid" --name '^Velmora' | head -n 1)
[ -n "$window" ] || fail "no window as an unprivileged user"
xdotool windowfocus --sync "$window"
xdotool type --delay 20 "rescued at the logout"
# The options dialog is open when the session ends.
xdotool key alt+t
sleep 0.3
xdotool key o
timeout 10 xdotool search --sync --onlyvisible --pid "$pid" --name 'オプション' >/dev/null ||
  fail "the options dialog did not open"
chmod 555 "$ro/diary"
kill -TERM "$pid"
timeout 10 tail --pid="$pid" -f /dev/null || fail "SIGTERM with an unwritable folder did not end the program"
wait "$pid" || fail "the program did not end by itself after SIGTERM with an unwritable folder"
rescue=$(compgen -G "$ro/state/Velmora/rescue/*.rescue" | head -n 1) || true
[ -n "$rescue" ] || fail "no rescue file"
grep -aq "rescued at the logout" "$rescue" || fail "the typed page is not in the rescue file"
[ "$(stat -c %a "$rescue")" = 600 ] || fail "the rescue file is readable by others"
[ "$(stat -c %a "$ro/state/Velmora/rescue")" = 700 ] || fail "the rescue folder is open to others"
