#!/usr/bin/env bash
# Lays out the window's part of the Windows download in DEST_DIR: gustara.exe; the Windows
# platform plugin (platforms\qwindows.dll) and style (styles\qwindowsvistastyle.dll), the only
# plugins it loads; the DLLs that these three import, followed through their PE import tables
# (gather-dlls.sh) among Qt's and MinGW's runtime DLLs; qt.conf, which points Qt at Qt's own
# Japanese texts (translations\qtbase_ja.qm, from Debian's qt6-translations-l10n of the same
# Qt version); and the licences of what it copied. Needs scripts/windows/build-qt.sh first.
# Usage: scripts/windows/stage-window.sh BUILD_DIR DEST_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
dest=$2
cache=${GUSTARA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/gustara-windows}
qt=$cache/qt6-6.4.2-mingw
runtime=/usr/lib/gcc/x86_64-w64-mingw32/12-posix:/usr/x86_64-w64-mingw32/lib
translations=/usr/share/qt6/translations/qtbase_ja.qm

[[ -f $qt/.complete ]] || { echo "stage-window.sh: no Qt for Windows in $qt (scripts/windows/build-qt.sh)" >&2; exit 1; }
[[ -f $translations ]] || { echo "stage-window.sh: $translations missing (qt6-translations-l10n)" >&2; exit 1; }
mkdir -p "$dest/platforms" "$dest/styles" "$dest/translations" "$dest/licences"
cp "$build/app/gustara.exe" "$dest/"
cp "$qt/plugins/platforms/qwindows.dll" "$dest/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$dest/styles/"
copied=$("$here/gather-dlls.sh" "$dest" "$qt/bin:$runtime" \
    "$dest/gustara.exe" "$dest/platforms/qwindows.dll" "$dest/styles/qwindowsvistastyle.dll")
cp "$translations" "$dest/translations/"
# Paths relative to the folder of gustara.exe; plugins are also looked for beside it.
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$dest/qt.conf"

cp -r "$qt/licences/." "$dest/licences/"
cp /usr/share/doc/qt6-translations-l10n/copyright "$dest/licences/qt6-translations-l10n.txt"
if grep -qiE '^lib(stdc\+\+|gcc)' <<<"$copied"; then
    cp /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright "$dest/licences/gcc-mingw-w64-runtime.txt"
fi
if grep -qi '^libwinpthread' <<<"$copied"; then
    cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$dest/licences/mingw-w64-winpthreads.txt"
fi
echo "window staged in $dest:" $copied
