#!/usr/bin/env bash
# Makes the download for Windows users from a Windows build: gustara-<version>-windows-x64.zip
# with the programs, what they need beside them, the licences and a README. The same build
# gives the same zip byte for byte. Prints the zip's path and size.
# Usage: scripts/windows/make-zip.sh BUILD_DIR OUT_DIR
# GUSTARA_WINDOWS_DEPS: the dependency folder the build used (its licences go in).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
deps=${GUSTARA_WINDOWS_DEPS:-$("$here/build-deps.sh" --print-prefix)}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=gustara-$version-windows-x64
stage=$build/zip/$name
rm -rf "$build/zip"
mkdir -p "$stage/licences"

x86_64-w64-mingw32-strip -o "$stage/gustara-cli.exe" "$build/cli/gustara-cli.exe"
# The window, and the Qt libraries and plugins it needs, when the build has it.
if [ -f "$build/app/gustara.exe" ]; then
  x86_64-w64-mingw32-strip -o "$stage/gustara.exe" "$build/app/gustara.exe"
  [ ! -x "$here/gather-qt.sh" ] || "$here/gather-qt.sh" "$stage"
fi

# Windows users read text with CRLF line ends.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
crlf "$top/dist/windows/README.txt" "$stage/README.txt"
crlf "$top/LICENSE" "$stage/licences/Gustara.txt"
for licence in "$deps"/licences/*.txt; do
  crlf "$licence" "$stage/licences/$(basename "$licence")"
done
# Linked into every program: GCC's runtime and C++ library (GPL with the runtime exception) and
# MinGW-w64's winpthreads and C runtime start-up code.
crlf /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/gcc-runtime.txt"
crlf /usr/share/doc/mingw-w64-common/copyright "$stage/licences/mingw-w64.txt"

# Reproducible: every entry dated from the last commit, in name order, without extra fields.
stamp=$(git -C "$top" log -1 --format=%cI 2>/dev/null || echo 2026-01-01T00:00:00Z)
find "$stage" -exec touch -d "$stamp" {} +
rm -f "$out/$name.zip"
(cd "$build/zip" && find "$name" -print | LC_ALL=C sort | TZ=UTC zip -q -X -D -9 "$out/$name.zip" -@)
echo "$out/$name.zip $(stat -c %s "$out/$name.zip") bytes"
