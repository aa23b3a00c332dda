#!/usr/bin/env bash
# The desktop entry as tools/install.sh writes it for a user: valid for desktop-file-validate,
# starting the program in its folder, with the icon where desktops look for it; a folder name
# the entry could not quote is refused.
set -euo pipefail
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export XDG_DATA_HOME="$work/share"
home="$work/My Diary"
"$source/tools/install.sh" "$home" || fail "install.sh failed"
entry="$XDG_DATA_HOME/applications/velmora.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
grep -qx "Exec=\"$home/Velmora\"" "$entry" || fail "Exec does not start $home/Velmora"
grep -qx "Path=$home" "$entry" || fail "Path is not the diary folder"
grep -qx "Icon=velmora" "$entry" || fail "no icon"
grep -qx "Categories=Office;Calendar;" "$entry" || fail "wrong categories"
grep -q "^Name\[ja\]=" "$entry" && grep -q "^Comment\[ja\]=" "$entry" || fail "no Japanese name"
cmp -s "$source/data/velmora.svg" "$XDG_DATA_HOME/icons/hicolor/scalable/apps/velmora.svg" ||
  fail "the icon is not installed"
# Run again: the same entry, nothing left over.
"$source/tools/install.sh" "$home"
[ "$(ls "$XDG_DATA_HOME/applications" | grep -c velmora)" -eq 1 ] || fail "files left over"

for bad in 'a"b' 'a$b' 'a`b' 'a\b' 'a%b'; do
  if "$source/tools/install.sh" "$work/$bad" 2>/dev/null; then
    fail "a folder named $bad was accepted"
  fi
done
echo "desktop entry ok"
