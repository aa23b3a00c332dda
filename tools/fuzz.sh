#!/usr/bin/env bash
# Builds the libFuzzer targets in ./build-fuzz (clang) and runs each for SECONDS seconds (default
# 30) on a working copy of its seed corpus, one after the other. Stops with an error at the first
# crash or round-trip difference; the input that caused it is left in build-fuzz/artifacts.
#   ./tools/fuzz.sh [SECONDS] [TARGET...]   (targets: year_file note_file settings_file
#                                             holiday_file rtf_reader)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(year_file note_file settings_file holiday_file rtf_reader)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_FUZZ=ON -DVELMORA_BUILD_TESTS=OFF > /dev/null
cmake --build build-fuzz --target "${targets[@]/%/_fuzz}"

mkdir -p build-fuzz/artifacts
for target in "${targets[@]}"; do
  kind="${target%_file}"
  kind="${kind%_reader}"
  work="build-fuzz/corpus/$target"
  mkdir -p "$work"
  case "$kind" in
    holiday) seeds=(fuzz/corpus/holiday/* data/Velmora.hol) ;;
    rtf) seeds=(tests/data/*.rtf fuzz/corpus/rtf/*) ;;
    *) seeds=(fuzz/corpus/"$kind"/*) ;;
  esac
  cp -n "${seeds[@]}" "$work/"
  echo "== $target: ${seconds} s"
  log="build-fuzz/$target.log"
  status=0
  # Leaks of system libraries are not Velmora's, and the leak checker cannot walk the
  # thread-local storage of Qt's image plugins (see tools/test.sh).
  ASAN_OPTIONS="${ASAN_OPTIONS:-intercept_tls_get_addr=0}" \
    LSAN_OPTIONS="suppressions=$PWD/tools/lsan-suppressions.txt" \
    "build-fuzz/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -dict="fuzz/$kind.dict" -artifact_prefix="build-fuzz/artifacts/$target-" \
    -print_final_stats=1 "$work" > "$log" 2>&1 || status=$?
  grep -E "^(Done|stat::number_of_executed_units|stat::peak_rss|SUMMARY|round trip|saved files)" \
    "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log"
    echo "$target failed (its whole output: $log)"
    exit 1
  fi
done
