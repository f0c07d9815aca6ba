#!/usr/bin/env bash
# One window: a second `gustara PICTURE` with the same settings folder hands its picture to the
# running window and ends; the window converts both, in the order given. Once that window is
# killed, its socket left behind, the next launch starts a window of its own.
# Usage: one-window-test.sh GUSTARA
set -euo pipefail
command -v cjpeg >/dev/null || { echo "skipped: cjpeg is not installed" >&2; exit 77; }
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work
printf 'P3\n1 1\n255\n200 120 40\n' | cjpeg >"$work/a.jpg"
cp "$work/a.jpg" "$work/b.jpg" && cp "$work/a.jpg" "$work/c.jpg"
within_30s() { for _ in $(seq 300); do [[ -f $1 ]] && return 0; sleep 0.1; done; echo "no $1" >&2; return 1; }

"$1" "$work/a.jpg" & first=$!
within_30s "$work/s-a.jpg"
timeout 20 "$1" "$work/b.jpg" || { echo "the second launch did not hand over and end" >&2; exit 1; }
within_30s "$work/s-b.jpg"
[[ ! $work/s-b.jpg -ot $work/s-a.jpg ]] || { echo "b.jpg was converted before a.jpg" >&2; exit 1; }
kill -9 $first
"$1" "$work/c.jpg" &
within_30s "$work/s-c.jpg"
timeout 20 "$1"  # the new window listens: a bare launch only brings it to the front
