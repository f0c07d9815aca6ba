#!/usr/bin/env bash
# ./test's Windows stage: cross-builds the engine, the command line and their tests with
# MinGW-w64 (the dependencies from Debian's source packages, cached outside the tree), runs the
# tests under Wine, compares gustara-cli.exe's work with the Linux build's byte for byte, stops
# it with Ctrl+C at random moments, makes the zip, and, when the Windows Qt is in the cache, starts the window under Wine. Its last line
# says how long it took and whether the window ran.
# Usage: scripts/windows/test-windows.sh LINUX_BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
linux_build=$(cd "$1" && pwd)
build=$top/build-windows
started=$(date +%s)

"$top/scripts/install-deps.sh" windows
GUSTARA_WINDOWS_DEPS=$("$here/build-deps.sh" | tail -n1)
export GUSTARA_WINDOWS_DEPS
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Libraries found in another dependency folder (an older cache) are forgotten, not reused.
fresh=()
if [ -f "$build/CMakeCache.txt" ] &&
   grep -E '^(JPEG|PNG|GIF|ZLIB|GTest)[A-Za-z_]*:(FILE)?PATH=' "$build/CMakeCache.txt" | grep -v NOTFOUND |
     grep -qv "=$GUSTARA_WINDOWS_DEPS/"; then
  fresh=(--fresh)
fi
cmake --preset windows-cross "${fresh[@]}" "${launcher[@]}" >/dev/null
cmake --build --preset windows-cross --parallel "$(nproc)"

"$here/test-under-wine.sh" "$build"
"$here/compare-outputs.sh" "$linux_build/cli/gustara-cli" "$build/cli/gustara-cli.exe" "$build/compare"
# Ctrl+C reaches a Windows program under Wine as the console's Ctrl+C event: the batch must stop
# as on Linux, with status 130, the stop text, and nothing lost or left behind.
mkdir -p "$build/wine-run"
printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$build/cli/gustara-cli.exe" >"$build/wine-run/gustara-cli"
chmod +x "$build/wine-run/gustara-cli"
(. "$here/wine-env.sh" "$build" && sh "$top/tests/cli/fault-kill-test.sh" "$build/wine-run/gustara-cli" 20 INT)

# The window: window-under-wine.sh exits 77 when the Windows Qt is not in the cache.
window="not run (no scripts/windows/window-under-wine.sh)"
if [ -x "$here/window-under-wine.sh" ]; then
  status=0
  "$here/window-under-wine.sh" "$build" "$linux_build/cli/gustara-cli" || status=$?
  case $status in
    0) window="ran" ;;
    77) window="not run (the Windows Qt is not in the cache)" ;;
    *) exit "$status" ;;
  esac
fi
# After the window, so that the zip holds it when it was built.
"$here/make-zip.sh" "$build" "$build/dist"
echo "Windows stage passed in $(($(date +%s) - started)) s; the window under Wine: $window"
