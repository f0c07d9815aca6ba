#!/usr/bin/env bash
# End-to-end runs of the real program on a virtual X display, driven from another process as
# a user's desktop does:
#  1. a drop of three photos through XDND, one named in Shift-JIS bytes (not UTF-8): all three
#     outputs appear, the last under the same bytes plus the affix;
#  2. four large photos named on the program's command line ("Open with"), then the main
#     window's close box mid-batch: the batch stops after the current picture, the program
#     ends by itself with status 0 and saves its settings, and the folder holds whole JPEG
#     outputs of the first pictures only, no temporary file, the sources unchanged.
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
mkdir -p "$work/config" "$work/photos" "$work/large"
sjis=$'\x97\xbf\x97\x9d'  # 料理 in Shift-JIS
# Small JPEG sources: the program converts what it is given, so any decodable JPEG serves.
printf 'P3\n4 3\n255\n' >"$work/photos/a.ppm"
for pixel in $(seq 12); do printf '%d %d %d\n' $((pixel * 20)) 120 $((240 - pixel * 15)); done >>"$work/photos/a.ppm"
cjpeg -quality 90 "$work/photos/a.ppm" >"$work/photos/a.jpg"
rm "$work/photos/a.ppm"
for name in b "$sjis"; do cp "$work/photos/a.jpg" "$work/photos/$name.jpg"; done
# Large ones (6000 x 4000, 24 megapixels), so that the close comes while a picture is worked on.
python3 -c '
import sys
w, h = 6000, 4000
row = bytes((x * 7 + c * 50) & 255 for x in range(w) for c in range(3))
sys.stdout.buffer.write(b"P6\n%d %d\n255\n" % (w, h) + row * h)' >"$work/large/p.ppm"
cjpeg -quality 90 "$work/large/p.ppm" >"$work/large/p1.jpg"
rm "$work/large/p.ppm"
for name in p2 "$sjis" p4; do cp "$work/large/p1.jpg" "$work/large/$name.jpg"; done
sha256sum "$work/large/"*.jpg >"$work/sources.sha256"

# Runs inside the virtual display.
cat >"$work/session.sh" <<'SESSION'
set -u
gustara=$1 xdnd_drop=$2 work=$3 sjis=$4
title="料理画像をおいしそうに加工するソフト"
photos=$work/photos large=$work/large
# Runs the command until it succeeds, for up to 30 s.
within_30s() { for _ in $(seq 300); do "$@" && return 0; sleep 0.1; done; return 1; }
exist() { for file; do [[ -f $file ]] || return 1; done; }
ended() { ! kill -0 "$program" 2>/dev/null; }

QT_QPA_PLATFORM=xcb "$gustara" &
program=$!
if ! "$xdnd_drop" --timeout 30 --window-name "$title" "$photos/a.jpg" "$photos/b.jpg" "$photos/$sjis.jpg"; then
    echo "the program did not take the drop" >&2
    exit 1
fi
if ! within_30s exist "$photos/s-a.jpg" "$photos/s-b.jpg" "$photos/s-$sjis.jpg"; then
    echo "the dropped pictures' outputs did not appear within 30 s" >&2
    ls "$photos" >&2
    exit 1
fi
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null

# Relative names, as a file manager passes them with the folder as the current one.
(cd "$large" && QT_QPA_PLATFORM=xcb exec "$gustara" p1.jpg p2.jpg "$sjis.jpg" p4.jpg) &
program=$!
if ! within_30s exist "$large/s-p1.jpg"; then
    echo "the pictures named on the command line were not converted" >&2
    exit 1
fi
"$xdnd_drop" --timeout 10 --window-name "$title" --close
if ! within_30s ended; then
    echo "the program did not end within 30 s of its close box" >&2
    kill "$program"
    exit 1
fi
wait "$program"
SESSION

status=0
XDG_CONFIG_HOME="$work/config" xvfb-run -a bash "$work/session.sh" "$gustara" "$xdnd_drop" "$work" "$sjis" || status=$?
if ((status != 0)); then
    echo "the session failed or the program ended with status $status" >&2
    exit 1
fi

# The settings were saved on the way out.
grep -q '^KEEP_GOING=0' "$work/config/Ferrowin/GustaraWorks/config.ini"
sha256sum --quiet -c "$work/sources.sha256"
# The outputs are whole pictures of the first sources, in order; nothing else is there.
outputs=()
for name in p1 p2 "$sjis" p4; do
    [[ -e $work/large/s-$name.jpg ]] || break
    outputs+=("s-$name.jpg")
    djpeg "$work/large/s-$name.jpg" >/dev/null
done
expected=$(printf '%s\n' p1.jpg p2.jpg "$sjis.jpg" p4.jpg "${outputs[@]}" | LC_ALL=C sort)
actual=$(cd "$work/large" && LC_ALL=C ls -A)
if [[ $actual != "$expected" ]]; then
    printf 'unexpected files after the stop:\n%s\n' "$actual" >&2
    exit 1
fi
if ((${#outputs[@]} == 4)); then
    echo "the close came after the whole batch: the stop was not exercised" >&2
    exit 1
fi
echo "stopped after ${#outputs[@]} of 4 pictures"
