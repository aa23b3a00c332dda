#!/usr/bin/env bash
# The Debian package as a user meets it: built by tools/package.sh from the build folder,
# unpacked with `dpkg -x` into a scratch root (installing it for real would take root and change
# the machine the tests run on; the unpacked program finds its data beside its bin folder as
# /usr/bin/velmora finds /usr/share/velmora), started on an X display of its own with a fresh
# HOME, written into through the window and ended by SIGTERM. The page lies in
# ~/.local/share/Velmora; removing the installed files leaves the diary as it was.
# Usage: PackageTest.sh SOURCE BUILD
set -euo pipefail
source=$1
build=$2
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null && wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/log" ] && cat "$work/log" >&2
  exit 1
}

"$source/tools/package.sh" "$build" "$work/deb" >/dev/null || fail "the package was not built"
deb=$(echo "$work"/deb/velmora_*_*.deb)
[ -f "$deb" ] || fail "no velmora_<version>_<arch>.deb"
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/velmora ./usr/share/applications/velmora.desktop \
  ./usr/share/icons/hicolor/scalable/apps/velmora.svg ./usr/share/velmora/Velmora.html \
  ./usr/share/velmora/Velmora.hol ./usr/share/man/man1/velmora.1.gz \
  ./usr/share/man/ja/man1/velmora.1.gz ./usr/share/doc/velmora/copyright \
  ./usr/share/metainfo/org.velmora.Velmora.metainfo.xml; do
  grep -qx "$f" <<<"$files" || fail "$f is not in the package"
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no dependencies from the libraries"
root="$work/root"
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/velmora.desktop" || fail "desktop entry"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml >/dev/null ||
    fail "appstreamcli rejects the metainfo"
fi

export HOME="$work/home"
mkdir -p "$HOME"
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run"
unset XDG_DATA_HOME XDG_STATE_HOME XDG_CONFIG_HOME SESSION_MANAGER
"$root/usr/bin/velmora" --help >"$work/help" || fail "--help"
grep -q -- --folder "$work/help" || fail "--help does not list --folder"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "no X display"
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb

# Starts the installed program with the given options, types text into today's page and ends it
# with SIGTERM, as a logout does.
write_page() {
  local text=$1
  shift
  "$root/usr/bin/velmora" "$@" >>"$work/log" 2>&1 &
  local pid=$!
  pids+=("$pid")
  local window
  window=$(timeout 30 xdotool search --sync --pid "$pid" --name '^Velmora \(' | head -n 1)
  [ -n "$window" ] || fail "no window"
  xdotool windowfocus --sync "$window"
  xdotool type --delay 20 "$text"
  sleep 0.5
  kill -TERM "$pid"
  timeout 20 tail --pid="$pid" -f /dev/null || fail "SIGTERM did not end the program"
  wait "$pid" || fail "the program ended with an error after SIGTERM"
}

year=$(date +%Y)
diary="$HOME/.local/share/Velmora"
write_page "written by the installed program"
grep -aq "written by the installed program" "$diary/$year.dat" || fail "the page is not in $diary"
[ "$(stat -c %a "$diary")" = 700 ] || fail "the diary folder is open to others"
cmp -s "$diary/Velmora.hol" "$root/usr/share/velmora/Velmora.hol" || fail "no holiday file"
[ -f "$diary/Velmora.ini" ] || fail "the settings were not written"
[ "$(ls "$root/usr/bin")" = velmora ] || fail "files written beside the installed program"

# --folder opens the window on another diary, which keeps the same names.
mkdir "$work/other"
write_page "written in another folder" --folder "$work/other"
grep -aq "written in another folder" "$work/other/$year.dat" || fail "--folder was not followed"
[ -f "$work/other/Velmora.ini" ] || fail "the other folder's settings are not Velmora.ini"
grep -aq "written in another folder" "$diary/$year.dat" && fail "--folder wrote the default diary"

# Removing the package's files leaves the diary as it was.
cp -a "$diary" "$work/before"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | (cd "$root" && xargs rm -f)
[ ! -e "$root/usr/bin/velmora" ] || fail "the program was not removed"
diff -r "$work/before" "$diary" || fail "removing the package changed the diary"
echo "package test passed"
