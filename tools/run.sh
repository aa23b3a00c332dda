#!/usr/bin/env bash
# Starts Velmora from its own folder, ~/Velmora (or $VELMORA_HOME). The program keeps the diary
# beside its executable, so it runs from a folder that no rebuild or clean of ./build touches:
# the new executable is copied in, and a shipped data file only when the folder has none yet
# (Velmora.portable among them: the folder is a portable install).
# The help is the program's own and is replaced with it. tools/install.sh puts the program into
# the desktop's application menu.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -x build/bin/Velmora ]; then
  echo "build/bin/Velmora is missing: run ./tools/setup.sh first." >&2
  exit 1
fi
home="${VELMORA_HOME:-$HOME/Velmora}"
mkdir -p "$home"
install -m 755 build/bin/Velmora "$home/Velmora.new"
mv -f "$home/Velmora.new" "$home/Velmora"
for f in data/Velmora.*; do
  [ -e "$f" ] || continue
  name=$(basename "$f")
  [ "$name" = Velmora.html ] && continue
  [ -e "$home/$name" ] || cp "$f" "$home/$name"
done
if [ -e build/bin/Velmora.html ]; then
  cp build/bin/Velmora.html "$home/Velmora.html"
  mkdir -p "$home/Velmora-help"
  cp build/bin/Velmora-help/*.png "$home/Velmora-help/"
fi
./tools/install.sh "$home"
echo "Velmora keeps your diary in $home; it is in the desktop's application menu too."
exec "$home/Velmora"
