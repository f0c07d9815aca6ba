#!/usr/bin/env bash
# Puts beside DEST_DIR/gustara.exe what the window needs to run: the Windows platform plugin
# (platforms\qwindows.dll) and style (styles\qwindowsvistastyle.dll), the only plugins it loads;
# the DLLs that these three import, followed through their PE import tables (gather-dlls.sh)
# among Qt's and MinGW's runtime DLLs; qt.conf, which points Qt at its own Japanese texts
# (translations\qtbase_ja.qm, from Debian's qt6-translations-l10n of the same Qt version); and
# the licences of Qt and of those texts. Needs scripts/windows/build-qt.sh first.
# Usage: scripts/windows/gather-qt.sh DEST_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dest=$1
cache=${GUSTARA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/gustara-windows}
qt=$cache/qt6-6.4.2-mingw
runtime=/usr/lib/gcc/x86_64-w64-mingw32/12-posix:/usr/x86_64-w64-mingw32/lib
translations=/usr/share/qt6/translations/qtbase_ja.qm

[[ -f $qt/.complete ]] || { echo "gather-qt.sh: no Qt for Windows in $qt (scripts/windows/build-qt.sh)" >&2; exit 1; }
[[ -f $translations ]] || { echo "gather-qt.sh: $translations missing (qt6-translations-l10n)" >&2; exit 1; }
mkdir -p "$dest/platforms" "$dest/styles" "$dest/translations" "$dest/licences/qt6-base"
cp "$qt/plugins/platforms/qwindows.dll" "$dest/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$dest/styles/"
copied=$("$here/gather-dlls.sh" "$dest" "$qt/bin:$runtime" \
    "$dest/gustara.exe" "$dest/platforms/qwindows.dll" "$dest/styles/qwindowsvistastyle.dll")
# The DLLs as built carry their symbols (libstdc++ alone 23 MB); the download needs none.
find "$dest" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
cp "$translations" "$dest/translations/"
# Paths relative to the folder of gustara.exe; plugins are also looked for beside it.
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$dest/qt.conf"

# Windows users read text with CRLF line ends.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
crlf "$qt/licences/qt6-base.txt" "$dest/licences/qt6-base.txt"
for licence in "$qt"/licences/qt6-base-texts/*.txt; do
    crlf "$licence" "$dest/licences/qt6-base/$(basename "$licence")"
done
crlf /usr/share/doc/qt6-translations-l10n/copyright "$dest/licences/qt6-translations-l10n.txt"
echo "Qt gathered beside $dest/gustara.exe: ${copied//$'\n'/ }"
