#!/usr/bin/env bash
# Times the refusal of an animated GIF whose frames are huge: ten 20000 x 20000 frames of one
# colour in about 3 MB (LZW compresses a flat run well). Such a file is refused as animated from
# its second image descriptor, without decoding a pixel, so the time is what reading 3 MB
# costs; the check fails when gustara-cli takes 0.5 s or more. The file is made here (python3)
# in a temporary folder that is removed.
# Usage: bench/gif-refusal.sh [path/to/gustara-cli]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$top/build/cli/gustara-cli}
[[ -x $cli ]] || { echo "gustara-cli not found at $cli (pass its path)" >&2; exit 2; }
command -v python3 >/dev/null || { echo "python3 is missing" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A GIF of FRAMES frames of SIDE x SIDE pixels of colour 0: a 2-bit global table, and per frame
# an LZW stream that names ever longer runs (code k stands for k - 4 pixels) and starts again
# with a clear code before the table is full.
python3 - "$work/frames.gif" <<'PY'
import struct, sys
side, frames = 20000, 10
clear, end = 4, 5

def frame_codes(pixels):
    bits, count = 0, 0
    out = bytearray()
    def emit(code, width):
        nonlocal bits, count
        bits |= code << count
        count += width
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    left = pixels
    emit(clear, 3)
    while left > 0:
        width, next_code = 3, 6
        emit(0, width)
        left -= 1
        while left > 0 and next_code < 4095:
            code = next_code if left >= next_code - 4 else left + 4 if left > 1 else 0
            emit(code, width)
            left -= code - 4 if code else 1
            next_code += 1
            if next_code == 1 << width and width < 12:
                width += 1
        if left > 0:
            emit(clear, width)
        last_width = width
    emit(end, last_width)
    if count:
        out.append(bits & 0xFF)
    return bytes(out)

data = frame_codes(side * side)
blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255)) + b"\0"
with open(sys.argv[1], "wb") as out:
    out.write(b"GIF89a" + struct.pack("<HHBBB", side, side, 0x81, 0, 0) + bytes([0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0]))
    for _ in range(frames):
        out.write(b"," + struct.pack("<HHHHB", 0, 0, side, side, 0) + bytes([2]) + blocks)
    out.write(b";")
PY

size=$(stat -c %s "$work/frames.gif")
start=$(date +%s.%N)
status=0
"$cli" "$work/frames.gif" >/dev/null 2>"$work/err.txt" || status=$?
seconds=$(echo "$(date +%s.%N) - $start" | bc)
printf 'frames.gif: %d bytes, exit status %d, refused in %.3f s\n' "$size" "$status" "$seconds"
[[ $status -eq 2 ]] || { echo "expected the refusal (exit status 2):" >&2; cat "$work/err.txt" >&2; exit 1; }
(($(echo "$seconds < 0.5" | bc))) || { echo "too slow: 0.5 s at most" >&2; exit 1; }
