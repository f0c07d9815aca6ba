#!/usr/bin/env bash
# End-to-end drop: starts the real program on a virtual X display, drops two photos on its
# main window from another process through XDND, and waits for both outputs.
# Usage: real-drop-test.sh GUSTARA XDND_DROP
# Exit status 77 (skipped) when the virtual display or the drop tool is missing.
set -euo pipefail

gustara=$1
xdnd_drop=$2
skip=77

if ! command -v xvfb-run >/dev/null; then
    echo "skipped: xvfb-run is not installed" >&2
    exit $skip
fi
if [[ ! -x $xdnd_drop ]]; then
    echo "skipped: the xdnd-drop tool is not built ($xdnd_drop)" >&2
    exit $skip
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/photos"
# Two small JPEG sources: the program converts what it is given, so any decodable JPEG serves.
for name in a b; do
    printf 'P3\n4 3\n255\n' >"$work/photos/$name.ppm"
    for pixel in $(seq 12); do printf '%d %d %d\n' $((pixel * 20)) 120 $((240 - pixel * 15)); done >>"$work/photos/$name.ppm"
    cjpeg -quality 90 "$work/photos/$name.ppm" >"$work/photos/$name.jpg"
    rm "$work/photos/$name.ppm"
done

# Runs inside the virtual display: the program, the drop, the wait, the close.
cat >"$work/session.sh" <<'SESSION'
set -u
gustara=$1 xdnd_drop=$2 photos=$3
QT_QPA_PLATFORM=xcb "$gustara" &
program=$!
status=0
if "$xdnd_drop" --timeout 30 --window-name "料理画像をおいしそうに加工するソフト" "$photos/a.jpg" "$photos/b.jpg"; then
    for _ in $(seq 300); do
        [[ -f $photos/s-a.jpg && -f $photos/s-b.jpg ]] && break
        sleep 0.1
    done
    if [[ ! -f $photos/s-a.jpg || ! -f $photos/s-b.jpg ]]; then
        echo "the outputs did not appear within 30 s" >&2
        status=1
    fi
else
    echo "the program did not take the drop" >&2
    status=1
fi
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null
exit $status
SESSION

XDG_CONFIG_HOME="$work/config" xvfb-run -a bash "$work/session.sh" "$gustara" "$xdnd_drop" "$work/photos"
ls "$work/photos"
