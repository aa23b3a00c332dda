#!/usr/bin/env bash
# Starts Velmora from its own folder, ~/Velmora (or $VELMORA_HOME). The program keeps the diary
# beside its executable, so it runs from a folder that no rebuild or clean of ./build touches:
# the new executable is copied in, and a shipped data file only when the folder has none yet.
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
  [ -e "$home/$name" ] || cp "$f" "$home/$name"
done
echo "Velmora keeps your diary in $home"
exec "$home/Velmora"
