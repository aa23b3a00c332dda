#!/usr/bin/env bash
# Puts Velmora into the desktop's application menu: the icon and a desktop entry that starts the
# program in its own folder, for this user only. Usage: tools/install.sh FOLDER, the folder that
# holds the program and the diary (tools/run.sh passes it). Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."
home=$(realpath -m "${1:?usage: tools/install.sh FOLDER}")
case "$home" in
  *[\"\`\$\\%]* | *$'\n'*)
    echo "tools/install.sh: no menu entry for a folder whose name holds \" \` \$ \\ or %: $home" >&2
    exit 1 ;;
esac
share="${XDG_DATA_HOME:-$HOME/.local/share}"
icons="$share/icons/hicolor/scalable/apps"
apps="$share/applications"
mkdir -p "$icons" "$apps"
install -m 644 data/velmora.svg "$icons/velmora.svg"
sed "s|@VELMORA_HOME@|$home|g" data/velmora.desktop.in > "$apps/velmora.desktop.new"
chmod 644 "$apps/velmora.desktop.new"
mv -f "$apps/velmora.desktop.new" "$apps/velmora.desktop"
# Menus that keep a cache read it from here; without the tool they look on their own.
if command -v update-desktop-database >/dev/null; then
  update-desktop-database -q "$apps" || true
fi
