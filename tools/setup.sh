#!/usr/bin/env bash
# Installs what Velmora needs on Debian 12 (only the packages that are missing; clang and its
# run-time libraries serve the fuzz targets of tools/test.sh; libqt6svg6 draws the program's
# icon; yaml-cpp reads RedNotebook journals and daily notes' front matter; rednotebook's own
# storage code and unzip serve the exchange tests; dpkg-dev and appstream build and check the
# Debian package; ICU checks the era dates in the tests and
# python3-ephem serves the calendar checks in tools/; no input method, the desktop's own serves
# Japanese input), then configures and builds it in ./build. Safe to run again: it only does
# what is left to do.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgtest-dev
          libgmock-dev libbenchmark-dev fonts-ipafont-gothic fonts-ipafont-mincho
          qt6-translations-l10n libqt6svg6 desktop-file-utils xvfb xauth x11-utils xdotool clang
          libclang-rt-dev poppler-utils libical-dev python3-icalendar python3-dateutil
          libyaml-cpp-dev rednotebook unzip syncthing dpkg-dev appstream
          libicu-dev python3-ephem)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build build
