#!/usr/bin/env bash
# Builds the Debian package, build/velmora_<version>_<arch>.deb, from the build folder (made by
# tools/setup.sh; configured here when missing): the program and its data are installed into
# CPack's staging folder under /usr and packed, dependencies taken from the shared libraries the
# program links (dpkg-shlibdeps). Install it with: sudo apt install ./build/velmora_*.deb
# Usage: tools/package.sh [BUILD [OUTPUT]]: another build folder, and a folder for the package
# other than the build folder (the installed-program test packs into a folder of its own).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build}")
output=$(realpath -m "${2:-$build}")
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target Velmora velmora_data velmora_help velmora_package_files
mkdir -p "$output"
rm -f "$output"/velmora_*.deb
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$output" >"$output/cpack.log" 2>&1; then
  cat "$output/cpack.log" >&2
  exit 1
fi
rm -rf "$output/_CPack_Packages" "$output/cpack.log"
ls "$output"/velmora_*.deb
