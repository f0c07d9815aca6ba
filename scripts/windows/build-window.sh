#!/usr/bin/env bash
# Cross-builds the window, gustara.exe, in the Windows build folder BUILD_DIR (made or
# reconfigured with the window on), with the MinGW-w64 toolchain, the libraries of
# build-deps.sh and the Qt of build-qt.sh (both built first when missing), and stages it with
# its DLLs in BUILD_DIR/window (gather-qt.sh), ready to run under Wine.
# Usage: scripts/windows/build-window.sh [BUILD_DIR]   (default build-windows/)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build-windows}
cache=${GUSTARA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/gustara-windows}
"$top/scripts/windows/build-deps.sh" >/dev/null
"$top/scripts/windows/build-qt.sh" >/dev/null
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
    -DGUSTARA_WINDOWS_DEPS="$("$top/scripts/windows/build-deps.sh" --print-prefix)" \
    -DGUSTARA_WINDOWS_QT="$cache/qt6-6.4.2-mingw" -DCMAKE_PREFIX_PATH="$cache/qt6-6.4.2-mingw" -DQT_HOST_PATH=/usr \
    -DGUSTARA_BUILD_APP=ON "${launcher[@]}" >/dev/null
cmake --build "$build" --parallel "${JOBS:-$(nproc)}" --target gustara
rm -rf "$build/window"
mkdir -p "$build/window"
cp "$build/app/gustara.exe" "$build/window/"
"$top/scripts/windows/gather-qt.sh" "$build/window"
