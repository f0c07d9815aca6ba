#!/usr/bin/env bash
# Runs the engine's tests of a Windows build under Wine, each program with GoogleTest's own
# runner, and prints one line per program and a total. The cases that ask a Linux tool (cjpeg,
# djpeg, pngcheck...) for a reference are named below and left out: Windows has no such tool.
# Exits 1 when any case fails.
# Usage: scripts/windows/test-under-wine.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
# shellcheck source=wine-env.sh
. "$(dirname "$0")/wine-env.sh" "$build"

# Cases that run a Linux tool to make or check their pictures.
left_out=(
  '*AsDjpeg*'                                # decoded by djpeg to compare
  '*AsCjpeg*'                                # encoded by cjpeg to compare
  'BrokenJpeg.ForeignBytesAndCutHeadersFail'  # pictures made by cjpeg
  'BrokenJpeg.HugeHeaderFailsBeforeAllocating'
  'PngReader.OtherFilesNamedPngFail'
  '*Metadata.*IsAllThatChangesIn*'           # reference outputs made by cjpeg
)
filter="-$(IFS=:; echo "${left_out[*]}")"

passed=0 failed=0 status=0
while IFS= read -r program; do
  name=$(basename "$program" .exe)
  log=$build/wine-logs/$name.log
  mkdir -p "$(dirname "$log")"
  if (cd "$(dirname "$program")" && wine "$program" --gtest_filter="$filter" --gtest_brief=1) >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    status=1
  fi
  ran=$(grep -Eo '^\[==========\] [0-9]+ tests? from' "$log" | awk '{print $2}' || true)
  program_passed=$(grep -Eo '^\[  PASSED  \] [0-9]+' "$log" | awk '{print $NF}' || true)
  passed=$((passed + ${program_passed:-0}))
  failed=$((failed + ${ran:-0} - ${program_passed:-0}))
  printf '%-28s %-7s %s of %s\n' "$name" "$result" "${program_passed:-0}" "${ran:-?}"
  [ "$result" = ok ] || grep -E '^\[  FAILED  \]|Failure' "$log" | head -20 | sed 's/^/    /'
done < <(find "$build/tests" -name '*Test.exe' | sort)
echo "Engine tests under Wine: $passed passed, $failed failed (left out: ${left_out[*]})"
exit $status
