#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for SECONDS (default 60), seeded from
# ../shared/corpus when present. Findings land in fuzz/findings/<harness>/.
# Usage: fuzz/run-all.sh [SECONDS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=$top/build-fuzz
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGUSTARA_FUZZ=ON \
  -DGUSTARA_BUILD_APP=OFF -DGUSTARA_BUILD_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"

corpus=$top/../shared/corpus
seed_for() {
  case $1 in
    load-png) find "$corpus/pngsuite" -name '*.png' 2>/dev/null ;;
    load-bmp) find "$corpus/bmpsuite" -name '*.bmp' 2>/dev/null ;;
    *) ;;
  esac
}

for harness in "$build"/fuzz/fuzz-*; do
  name=$(basename "$harness" | sed 's/^fuzz-//')
  work=$top/fuzz/corpus-$name
  findings=$top/fuzz/findings/$name
  mkdir -p "$work" "$findings"
  seed_for "$name" | while read -r file; do cp -n "$file" "$work/" 2>/dev/null || true; done
  echo "== $name: $seconds s" >&2
  "$harness" "$work" -max_total_time="$seconds" -rss_limit_mb=2560 -timeout=10 \
    -artifact_prefix="$findings/" -print_final_stats=1 2>&1 | grep -E '^(stat::|#[0-9]+ +DONE|==[0-9]+==ERROR|SUMMARY)' || true
done
