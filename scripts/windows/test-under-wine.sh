#!/usr/bin/env bash
# Runs the engine's tests of a Windows build under Wine, each program with GoogleTest's own
# runner, and prints one line per program and a total. The cases that ask a Linux tool (cjpeg,
# djpeg) for a reference are named in tests/windows-left-out.txt and left out.
# Exits 1 when any case fails.
# Usage: scripts/windows/test-under-wine.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
# shellcheck source=wine-env.sh
. "$(dirname "$0")/wine-env.sh" "$build"

top=$(cd "$(dirname "$0")/../.." && pwd)
# One Wine server for the whole run, instead of one that ends after each program's last
# seconds and is started again: a program started as it ended was seen to die unheard.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
mapfile -t left_out < <(grep -v '^#' "$top/tests/windows-left-out.txt")
filter="-$(IFS=:; echo "${left_out[*]}")"

passed=0 failed=0 skipped=0 status=0
while IFS= read -r program; do
  name=$(basename "$program" .exe)
  log=$build/wine-logs/$name.log
  mkdir -p "$(dirname "$log")"
  run() { (cd "$(dirname "$program")" && wine "$program" --gtest_filter="$filter" --gtest_brief=1) </dev/null >"$log" 2>&1; }
  result=ok
  program_status=0
  run || program_status=$?
  if [ "$program_status" -ne 0 ] && [ ! -s "$log" ]; then
    # A program that printed nothing at all was never started: Wine failed, not the test. It
    # is tried once more after a pause, and the line says so.
    sleep 2
    program_status=0
    run || program_status=$?
    [ "$program_status" -ne 0 ] || result="ok (Wine started it only the second time)"
  fi
  if [ "$program_status" -ne 0 ]; then
    result=FAILED
    status=1
  fi
  ran=$(grep -Eo '^\[==========\] [0-9]+ tests? from' "$log" | awk '{print $2}' || true)
  program_passed=$(grep -Eo '^\[  PASSED  \] [0-9]+' "$log" | awk '{print $NF}' || true)
  passed=$((passed + ${program_passed:-0}))
  program_skipped=$(grep -Eo '^\[  SKIPPED \] [0-9]+' "$log" | awk '{print $NF}' || true)
  skipped=$((skipped + ${program_skipped:-0}))
  failed=$((failed + ${ran:-0} - ${program_passed:-0} - ${program_skipped:-0}))
  printf '%-28s %-7s %s of %s passed, %s skipped\n' "$name" "$result" "${program_passed:-0}" "${ran:-?}" "${program_skipped:-0}"
  if [ "$result" = FAILED ]; then
    { grep -E '^\[  FAILED  \]|Failure' "$log" || echo "(the program printed nothing; Wine's exit status $program_status)"; } | head -20 | sed 's/^/    /'
  fi
done < <(find "$build/tests" -name '*Test.exe' | sort)
echo "Engine tests under Wine: $passed passed, $skipped skipped, $failed failed (left out: ${left_out[*]})"
exit $status
