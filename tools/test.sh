#!/usr/bin/env bash
# Every check of the project, as CI runs it (after ./tools/setup.sh has built ./build):
# 1. the whole test suite;
# 2. each fuzz target for FUZZ_SECONDS seconds (default 30) on its seed corpus (tools/fuzz.sh);
# 3. the whole test suite again, built in ./build-sanitize with the address and undefined
#    behaviour sanitizers.
# VELMORA_CRASH_KILLS sets how often the crash test kills a saving process (default 300).
set -euo pipefail
cd "$(dirname "$0")/.."

ctest --test-dir build --output-on-failure -j2

./tools/fuzz.sh "${FUZZ_SECONDS:-30}"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON \
  > /dev/null
cmake --build build-sanitize
# The leak checker cannot walk the thread-local storage of libraries loaded at run time (Qt's
# image plugins): with __tls_get_addr intercepted it crashes at exit, so it is not.
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:intercept_tls_get_addr=0}" UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$PWD/tools/lsan-suppressions.txt" \
  ctest --test-dir build-sanitize --output-on-failure -j2
