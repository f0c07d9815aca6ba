#!/usr/bin/env bash
# Runs gustara-cli on small hostile files that claim huge pictures or inflate enormously, under
# /usr/bin/time -v, and prints for each: outcome, wall time and peak resident memory. For the
# pictures that are accepted it prints the size of their raster beside the peak. The bmp-fit-*
# pictures run again without and with --size=1280, and a second table checks that fitting
# costs at most the fitted raster and 20 MB more than not fitting. The files are
# made here (python3, zlib; cjpeg for the JPEG ones) in a temporary folder that is removed.
# Needs GNU time (Debian package "time"). Takes a few GiB of memory for the accepted ones.
# Usage: bench/bomb-memory.sh [path/to/gustara-cli [NAME-PATTERN]]   e.g. ... build/cli/gustara-cli 'bmp-*'
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$top/build/cli/gustara-cli}
pattern=${2:-*}
[[ -x $cli ]] || { echo "gustara-cli not found at $cli (pass its path)" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is missing: install the package \"time\"" >&2; exit 2; }
command -v python3 >/dev/null || { echo "python3 is missing" >&2; exit 2; }
command -v cjpeg >/dev/null || { echo "cjpeg is missing (libjpeg-turbo-progs)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Small JPEGs to patch: a flat baseline picture and a flat progressive one (its scans are a
# few bytes each, but each makes libjpeg walk the whole picture).
# flat_pgm SIDE: a grey SIDE x SIDE picture, written row by row.
flat_pgm() {
  python3 -c 'import sys
side = int(sys.argv[1]); out = sys.stdout.buffer; row = bytes([128]) * side
out.write(b"P5\n%d %d\n255\n" % (side, side))
for _ in range(side): out.write(row)' "$1"
}
flat_pgm 2048 | cjpeg -quality 50 >"$work/flat.jpg"
flat_pgm 2048 | cjpeg -quality 50 -progressive >"$work/flat-progressive.jpg"
# The largest square picture within the pixel cap, progressive (libjpeg keeps all its
# coefficients, 2 bytes a pixel for grey, until the raster's first row; the engine hands them
# back as the raster fills, so the peak stays near the raster's size).
flat_pgm 23170 | cjpeg -quality 50 -progressive >"$work/jpeg-progressive-23170x23170.jpg"

python3 - "$work" <<'PYTHON'
import struct, sys, zlib
work = sys.argv[1]

def save(name, data):
    with open(f"{work}/{name}", "wb") as f:
        f.write(data)

# ---- JPEG: markers of a file, so that the frame header can be patched or a scan repeated.
def markers(jpeg):
    at, found = 2, []
    while at + 2 <= len(jpeg) and jpeg[at] == 0xFF:
        found.append(at)
        marker = jpeg[at + 1]
        if marker == 0xD9:
            break
        at += 2 + struct.unpack(">H", jpeg[at + 2:at + 4])[0]
        if marker == 0xDA:
            while not (jpeg[at] == 0xFF and jpeg[at + 1] != 0 and not 0xD0 <= jpeg[at + 1] <= 0xD7):
                at += 1
    return found

def with_size(jpeg, width, height):
    jpeg = bytearray(jpeg)
    for at in markers(jpeg):
        if 0xC0 <= jpeg[at + 1] <= 0xC2:
            jpeg[at + 5:at + 9] = struct.pack(">HH", height, width)
    return bytes(jpeg)

flat = open(f"{work}/flat.jpg", "rb").read()
save("jpeg-header-65500x65500.jpg", with_size(flat, 65500, 65500))
# Within the cap: the data ends after one 2048 x 2048 picture's worth; libjpeg fills the rest.
save("jpeg-header-23170x23170-cut.jpg", with_size(flat, 23170, 23170))
# The last scan repeated 5000 times: libjpeg only warns about the bogus progression.
def with_scans(jpeg, copies):
    found = markers(jpeg)
    scan = jpeg[found[-2]:found[-1]]
    return jpeg[:found[-1]] + scan * copies + b"\xff\xd9"

save("jpeg-progressive-2048x2048-5000-scans.jpg", with_scans(open(f"{work}/flat-progressive.jpg", "rb").read(), 5000))
save("jpeg-progressive-23170x23170-5000-scans.jpg",
     with_scans(open(f"{work}/jpeg-progressive-23170x23170.jpg", "rb").read(), 5000))

# ---- PNG
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

def deflated_zeros(count, head=b""):
    z = zlib.compressobj(9)
    out = [z.compress(head)]
    piece = bytes(1 << 20)
    while count > 0:
        out.append(z.compress(piece[:min(count, len(piece))]))
        count -= min(count, len(piece))
    out.append(z.flush())
    return b"".join(out)

def grey_png(width, height, data_bytes, extra=b""):
    header = struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra
            + chunk(b"IDAT", deflated_zeros(data_bytes)) + chunk(b"IEND", b""))

save("png-ihdr-30000x30000-tiny-idat.png", grey_png(30000, 30000, 16))
# The largest square picture within the 512 Mi pixel cap, black, from about 0.5 MB.
save("png-zlib-bomb-23170x23170.png", grey_png(23170, 23170, 23171 * 23170))
gib = 1 << 30
# A profile header claiming 1 GiB, then zeros: 1 GiB inflated from about 1 MB.
save("png-iccp-bomb-1GiB.png", grey_png(8, 8, 72, chunk(b"iCCP", b"bomb\0\0" + deflated_zeros(gib - 4, struct.pack(">I", gib)))))
save("png-ztxt-bomb-1GiB.png", grey_png(8, 8, 72, chunk(b"zTXt", b"Comment\0\0" + deflated_zeros(gib))))
# 300 text chunks of 7 MiB each, each below libpng's chunk limit: 2 GiB to inflate from 2 MB.
seven = deflated_zeros(7 << 20)
save("png-300-ztxt-7MiB.png", grey_png(8, 8, 72, b"".join(chunk(b"zTXt", b"Comment\0\0" + seven) for _ in range(300))))

# ---- GIF: the screen (and the image) claim their size; the data is one black pixel.
def gif(screen, image):
    return (b"GIF89a" + struct.pack("<HH", *screen) + b"\x80\0\0" + b"\0\0\0\xff\xff\xff"
            + b"\x2c" + struct.pack("<HHHH", 0, 0, *image) + b"\0\x02\x02\x44\x01\0\x3b")

save("gif-screen-65535x65535.gif", gif((65535, 65535), (1, 1)))
save("gif-screen-23170x23170.gif", gif((23170, 23170), (1, 1)))

# ---- BMP: RLE8 with a two-colour table.
def rle_bmp(width, height, rle):
    headers = 14 + 40 + 8
    return (b"BM" + struct.pack("<IIII", headers + len(rle), 0, headers, 40)
            + struct.pack("<iiHHIIiiII", width, height, 1, 8, 1, 0, 0, 0, 2, 0)
            + b"\0\0\0\0\xff\xff\xff\0" + rle)

save("bmp-rle-100000x100000.bmp", rle_bmp(100000, 100000, b"\x02\x01\x00\x01"))
# Fitted into the 1280 box as well (bmp-fit-*): two pixels, then the end of the picture. The
# issue's 66-byte file, the tall one, and the widest, tallest and squarest within the cap.
for width, height in [(16777216, 1), (1, 16777216), (536870912, 1), (1, 536870912),
                      (65536, 8192), (8192, 65536), (23170, 23170)]:
    save(f"bmp-fit-{width}x{height}.bmp", rle_bmp(width, height, b"\x02\x01\x00\x01"))
save("bmp-rle-23170x23170-cut.bmp", rle_bmp(23170, 23170, b"\x02\x01"))
save("bmp-rle-23170x23170-end-at-once.bmp", rle_bmp(23170, 23170, b"\x00\x01"))
PYTHON
rm -f "$work"/flat*

raster_mib() { echo $(( $1 * $2 * 3 / 1048576 )); }
# fitted_bytes W H: the bytes of the raster that W x H fitted into the 1280 box becomes.
fitted_bytes() {
  python3 -c 'import sys
from fractions import Fraction
w, h = map(int, sys.argv[1:]); box = 1280
if max(w, h) <= box: print(w * h * 3); sys.exit()
tw, th = (max(round(Fraction(w, h) * box), 1), box) if w < h else (box, max(round(Fraction(h, w) * box), 1))
print(tw * th * 3)' "$1" "$2"
}
# run FILE OPTIONS...: sets peak_kib, elapsed and outcome.
run() {
  local file=$1 name out status=0
  shift
  name=$(basename "$file")
  out=$work/out-$name
  mkdir -p "$out"
  /usr/bin/time -v -o "$out/time.txt" "$cli" --dir=out --keep-going --jobs=1 "$@" "$file" >"$out/stdout.txt" \
    2>"$out/stderr.txt" || status=$?
  peak_kib=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$out/time.txt")
  elapsed=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$out/time.txt")
  if ((status == 0)); then
    outcome="accepted"
    if [[ $name =~ ([0-9]+)x([0-9]+) ]]; then
      outcome+=" (raster ${BASH_REMATCH[1]}x${BASH_REMATCH[2]}: $(raster_mib "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}") MiB)"
    fi
  else
    outcome="refused: $(tr '\n' ' ' <"$out/stderr.txt" | cut -c1-90)"
  fi
  rm -rf "$work/out" "$out"
}

printf '%-40s %9s %8s %10s  %s\n' file bytes seconds "peak MiB" "outcome"
fitted=()
for file in "$work"/*; do
  name=$(basename "$file")
  # shellcheck disable=SC2053
  [[ $name == $pattern ]] || continue
  if [[ $name == bmp-fit-* ]]; then
    fitted+=("$file") # in the second table
    continue
  fi
  run "$file"
  printf '%-40s %9s %8s %10s  %s\n' "$name" "$(stat -c %s "$file")" "$elapsed" "$((peak_kib / 1024))" "$outcome"
done

# Fitting must not cost more than the fitted raster and 20 MB beyond the peak without it
# (the decoder's and writer's own peaks differ with and without; the resampler's does not).
((${#fitted[@]} > 0)) || exit 0
printf '\n%-30s %14s %14s %14s %9s  %s\n' "fitted into 1280" "peak without" "peak --size" "limit MiB" "within" "outcome with --size"
for file in "${fitted[@]}"; do
  name=$(basename "$file")
  [[ $name =~ ([0-9]+)x([0-9]+) ]]
  run "$file"
  without_kib=$peak_kib
  run "$file" --size=1280
  limit_kib=$((without_kib + ($(fitted_bytes "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}") + 20000000) / 1024))
  within=yes
  ((peak_kib <= limit_kib)) || within=NO
  printf '%-30s %14s %14s %14s %9s  %s\n' "$name" "$((without_kib / 1024))" "$((peak_kib / 1024))" \
    "$((limit_kib / 1024))" "$within" "$elapsed, $outcome"
done
