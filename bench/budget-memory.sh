#!/usr/bin/env bash
# Peak memory of a batch of 20 copies of one 24-megapixel photograph, fitted into 1280 as the
# window does: one picture at a time (--jobs 1), two in flight with a memory budget that allows
# only one (--jobs 2 --memory=MB), and two in flight with the default budget. With the budget
# that allows one, the batch must take no more memory than one picture at a time.
# The picture is made here (python3 and cjpeg) in a temporary folder that is removed.
# Needs GNU time (Debian package "time").
# Usage: bench/budget-memory.sh [path/to/gustara-cli]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$top/build/cli/gustara-cli}
[[ -x $cli ]] || { echo "gustara-cli not found at $cli (pass its path)" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is missing: install the package \"time\"" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
width=6000 height=4000
# A photograph-like picture: smooth gradients with a fine texture, so the JPEG is of camera size.
python3 - "$width" "$height" >"$work/photo.ppm" <<'PYTHON'
import sys
width, height = int(sys.argv[1]), int(sys.argv[2])
out = sys.stdout.buffer
out.write(b"P6\n%d %d\n255\n" % (width, height))
texture = bytes((x * 7 + (x * x) // 13) % 64 for x in range(3 * width + 512))
for y in range(height):
    base = bytes(((x // 3) * 160 // width + y * 80 // height + (x % 3) * 8) & 255 for x in range(0, 3 * width, 1)) if y % 64 == 0 else base
    shift = (y * 37) % 512
    out.write(bytes((b + t) & 255 for b, t in zip(base, texture[shift:shift + 3 * width])))
PYTHON
cjpeg -quality 92 "$work/photo.ppm" >"$work/photo.jpg"
rm "$work/photo.ppm"
pictures=()
for i in $(seq -w 1 20); do
    ln "$work/photo.jpg" "$work/p$i.jpg"
    pictures+=("$work/p$i.jpg")
done
raster=$((width * height * 3))
# The engine estimates twice the raster per baseline picture; this budget fits one, not two.
budget_mb=$((raster * 3 / 1024 / 1024))

peak_kb() {  # peak_kb ARGS...: the largest resident size of gustara-cli on the 20 pictures
    rm -rf "$work/out"
    /usr/bin/time -f '%M' -o "$work/time.txt" "$cli" --size=1280 --dir=out "$@" "${pictures[@]}" >/dev/null
    cat "$work/time.txt"
}
echo "20 copies of a ${width}x${height} photograph ($(stat -c %s "$work/photo.jpg") bytes), raster $((raster / 1000000)) MB;" \
    "load average $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)"
one=$(peak_kb --jobs 1)
budget=$(peak_kb --jobs 2 --memory="$budget_mb")
two=$(peak_kb --jobs 2)
printf '  one at a time (--jobs 1)                      %7.1f MB\n' "$(awk -v k="$one" 'BEGIN { print k * 1024 / 1e6 }')"
printf '  --jobs 2, budget %5d MB (allows one)       %7.1f MB  (at most one at a time)\n' "$budget_mb" \
    "$(awk -v k="$budget" 'BEGIN { print k * 1024 / 1e6 }')"
printf '  --jobs 2, default budget (a quarter of RAM)  %7.1f MB\n' "$(awk -v k="$two" 'BEGIN { print k * 1024 / 1e6 }')"
