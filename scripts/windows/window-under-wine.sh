#!/usr/bin/env bash
# Starts the Windows window under Wine on a virtual X display and checks it as a user would:
# a first gustara.exe shows the main window; a second one, started with three photographs
# with Japanese names on its command line, hands them to the first through the named pipe and
# ends; the first converts them, and each JPEG must equal, byte for byte, what the Linux
# gustara-cli writes with the same (default) settings. Closing the window must write
# config.ini into %APPDATA%\Ferrowin\GustaraWorks as UTF-8 with a byte-order mark, and the
# first start must have put the "Send to" entry in place. Screenshots of the main, progress
# and About windows go to SHOT_DIR (windows-main.png, windows-progress.png, windows-about.png).
# Wine runs in a prefix of its own, deleted afterwards. The window is built and staged first
# (build-window.sh, which rebuilds only what changed). Exit status 0 when all held, 1 when
# not, 77 when the Windows Qt is not in the cache or Wine, Xvfb or the tools are missing. The
# last line says which.
# Usage: scripts/windows/window-under-wine.sh BUILD_DIR [LINUX_GUSTARA_CLI [SHOT_DIR]]
#   BUILD_DIR: the Windows build folder; LINUX_GUSTARA_CLI: default build/cli/gustara-cli;
#   SHOT_DIR: default BUILD_DIR/screenshots
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
linux_cli=${2:-$top/build/cli/gustara-cli}
doc=${3:-$build/screenshots}
cache=${GUSTARA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/gustara-windows}
[[ -f $cache/qt6-6.4.2-mingw/.complete ]] || { echo "window under Wine: skipped (no Windows Qt in the cache)"; exit 77; }
for tool in wine Xvfb xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "window under Wine: skipped ($tool missing)"; exit 77; }
done
[[ -x $linux_cli ]] || { echo "window under Wine: no Linux command line at $linux_cli" >&2; exit 1; }
program_dir=$build/window
"$top/scripts/windows/build-window.sh" "$build"

work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$work/photos" "$work/linux"
photo=$("$top/scripts/sample-photo.sh" "$cache/sample-photo")
for name in 朝食 昼食 夕食; do cp "$photo" "$work/photos/$name.png"; cp "$photo" "$work/linux/$name.png"; done
"$linux_cli" -q "$work/linux"/*.png

# shellcheck source=wine-env.sh
. "$top/scripts/windows/wine-env.sh" "$work"
# Windows' Japanese interface fonts are not in Wine: the Linux fonts of the same make stand in.
for font in "Yu Gothic UI" "Meiryo UI" "MS UI Gothic"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /t REG_SZ /d "IPAPGothic" /f >/dev/null 2>&1
done
# Wine's desktop process, started here without a display, must be gone before the window's.
wineserver --wait
# Wine's interface language follows the C locale, English here: the window is tried in
# Japanese, chosen in its settings as a user would. The file has no byte-order mark, so the
# mark found after closing shows that the window wrote it.
appdata=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming' -type d | head -n 1)
config="$appdata/Ferrowin/GustaraWorks/config.ini"
mkdir -p "$(dirname "$config")"
printf '[GUSTARA_EXT]\r\nLANGUAGE=ja\r\n' >"$config"

cat >"$work/session.sh" <<'SESSION'
set -eu
exe=$1 photos=$2 doc=$3 work=$4
main="料理画像をおいしそうに加工するソフト"
# Wine's windows are found by their title through xdotool, which reads the UTF-8 title.
id_of() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
wait_for() {
    for _ in $(seq 1200); do
        [ -n "$(id_of "$1")" ] && { sleep 1; return 0; }
        sleep 0.1
    done
    echo "no window \"$1\"" >&2
    return 1
}
shoot() { import -window "$(id_of "$1")" "$2"; }
# Keys go through XTEST to the focused window, as a user's would.
press() {
    xdotool windowfocus --sync "$(id_of "$1")" 2>/dev/null || true
    sleep 0.3
    xdotool key "$2"
}
wine "$exe" >"$work/first.log" 2>&1 & first=$!
wait_for "$main"
shoot "$main" "$doc/windows-main.png"
handed=no
wine "$exe" "$(winepath -w "$photos/朝食.png")" "$(winepath -w "$photos/昼食.png")" "$(winepath -w "$photos/夕食.png")" \
    >"$work/second.log" 2>&1 & second=$!
for _ in $(seq 300); do
    kill -0 $second 2>/dev/null || { wait $second && handed=yes; break; }
    sleep 0.1
done
echo "$handed" >"$work/handed"
for _ in $(seq 600); do
    [[ $(ls "$photos"/s-*.jpg 2>/dev/null | wc -l) -eq 3 ]] && break
    sleep 0.1
done
wait_for "進行状況"
shoot "進行状況" "$doc/windows-progress.png"
press "進行状況" Escape
sleep 1
press "$main" alt+a
wait_for "このソフトについて"
shoot "このソフトについて" "$doc/windows-about.png"
press "このソフトについて" Escape
sleep 1
press "$main" alt+F4
for _ in $(seq 300); do kill -0 $first 2>/dev/null || break; sleep 0.1; done
kill $second 2>/dev/null || true
SESSION

mkdir -p "$doc"
xvfb-run -a -s "-screen 0 1024x768x24" bash ${GUSTARA_TRACE:+-x} "$work/session.sh" "$program_dir/gustara.exe" "$work/photos" "$doc" "$work" \
    || true

failed=0
same=0
for name in 朝食 昼食 夕食; do
    if cmp -s "$work/photos/s-$name.jpg" "$work/linux/s-$name.jpg"; then
        same=$((same + 1))
    else
        echo "s-$name.jpg differs from the Linux build's or is missing" >&2
        failed=1
    fi
done
if [[ -f $config ]] && [[ $(head -c 3 "$config" | od -An -tx1 | tr -d ' ') == efbbbf ]]; then
    settings="written as UTF-8 with its mark"
else
    settings="NOT written"
    failed=1
fi
if find "$appdata" -path '*/SendTo/*.lnk' | grep -q .; then send_to=yes; else send_to=no; failed=1; fi
handed=$(cat "$work/handed" 2>/dev/null || echo no)
[[ $handed == yes ]] || failed=1
for shot in main progress about; do [[ -s $doc/windows-$shot.png ]] || failed=1; done
echo "window under Wine: $same of 3 pictures identical to Linux, handed over through the pipe: $handed," \
    "config.ini $settings, Send to entry: $send_to, screenshots in $doc/windows-{main,progress,about}.png" \
    "$([[ $failed == 0 ]] && echo '(passed)' || echo '(FAILED)')"
exit $failed
