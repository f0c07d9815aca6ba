#!/usr/bin/env bash
# Makes the README's screenshots under a virtual X display: doc/window.png (the main window
# with its default settings), doc/progress.png (the progress window at the end of a batch
# of three photographs, dropped on the window from another process) and doc/window-quality.png
# (the main window widened by 設定(S) → 画質を設定する, from a settings file that turns it on);
# then the same windows in English, drawn by the test tool window-shots from a settings file
# that chooses English: doc/window-en.png, doc/progress-en.png, doc/failures-en.png (the list
# under Details of a batch in which one picture, cut short, failed), doc/compare-window-en.png
# and doc/about-en.png.
# Needs the window and the test tools xdnd-drop and window-shots built:
#   scripts/build.sh build -DBUILD_TESTING=ON -DGUSTARA_BUILD_APP=ON
# Usage: scripts/make-screenshots.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
"$top/scripts/install-deps.sh" pictures
for program in "$build/app/gustara" "$build/tests/tools/xdnd-drop" "$build/tests/tools/window-shots"; do
    [[ -x $program ]] || { echo "$program is not built (see the comment at the top)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/photos" "$work/quality-config/Ferrowin/GustaraWorks"
printf '[GUSTARA_EXT]\nSHOW_QUALITY=1\n' >"$work/quality-config/Ferrowin/GustaraWorks/config.ini"
photo=$("$top/scripts/sample-photo.sh" "$build/sample-photo")
for name in 朝食 昼食 夕食; do cp "$photo" "$work/photos/$name.png"; done

cat >"$work/session.sh" <<'SESSION'
set -eu
gustara=$1 xdnd_drop=$2 photos=$3 doc=$4 quality_config=$5
main="料理画像をおいしそうに加工するソフト"
# Under a Japanese locale: the window speaks the user's language.
start() { LANGUAGE= LC_ALL= LC_MESSAGES=ja_JP.UTF-8 QT_QPA_PLATFORM=xcb "$gustara" & program=$!; }
stop() { kill $program 2>/dev/null; wait $program 2>/dev/null || true; }
start
trap stop EXIT
# Waits until a window of that name is on the screen and painted.
wait_for() {
    for _ in $(seq 100); do
        xwininfo -name "$1" 2>/dev/null | grep -q IsViewable && { sleep 1; return 0; }
        sleep 0.1
    done
    echo "no window \"$1\"" >&2
    return 1
}
# import finds a window by its id; by a name outside ASCII it waits for a click instead.
shoot() { import -window "$(xwininfo -name "$1" | awk '/Window id:/ {print $4}')" "$2"; }
wait_for "$main"
shoot "$main" "$doc/window.png"
"$xdnd_drop" --timeout 30 --window-name "$main" "$photos"/*.png
for _ in $(seq 300); do
    [[ $(ls "$photos"/s-*.jpg 2>/dev/null | wc -l) -eq 3 ]] && break
    sleep 0.1
done
wait_for "進行状況"
shoot "進行状況" "$doc/progress.png"
stop
XDG_CONFIG_HOME=$quality_config start
wait_for "$main"
shoot "$main" "$doc/window-quality.png"
SESSION

XDG_CONFIG_HOME="$work/config" xvfb-run -a -s "-screen 0 1024x768x24" \
    bash "$work/session.sh" "$build/app/gustara" "$build/tests/tools/xdnd-drop" "$work/photos" "$top/doc" \
    "$work/quality-config"
ls -l "$top/doc/window.png" "$top/doc/progress.png" "$top/doc/window-quality.png"

english=$work/en-config/Ferrowin/GustaraWorks
mkdir -p "$english" "$work/en-photos"
printf '[GUSTARA_EXT]\nLANGUAGE=en\nKEEP_GOING=1\n' >"$english/config.ini"
cp "$photo" "$work/en-photos/breakfast.png"
cp "$photo" "$work/en-photos/lunch.png"
head -c 20000 "$photo" >"$work/en-photos/dinner.png"
# By their names, as the list under Details shows them.
(cd "$work/en-photos" && XDG_CONFIG_HOME="$work/en-config" QT_QPA_PLATFORM=offscreen \
    "$build/tests/tools/window-shots" "$top/doc/%1-en.png" breakfast.png lunch.png dinner.png)
ls -l "$top"/doc/*-en.png
