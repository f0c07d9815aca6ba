#!/usr/bin/env bash
# Times the whole job on phone-sized (12 MP) HEIC and WebP photographs, one picture at a time:
# gustara-cli --more-formats --jobs 1 fitting into 1280x1280 at quality 100, against the floor:
# the library's own decode of the same file (heif-decode-floor, libheif to RGB; dwebp to PPM)
# plus cjpeg -dct float -quality 100 of the fitted picture (made beforehand, outside the
# timing). The tools alternate within each round, the order flipped every round, and each ratio
# is taken within one round. Target: median ratio at most 1.1.
#
# Usage: bench/phone-formats-ratios.sh [ROUNDS] [BUILD_DIR]
#   ROUNDS     rounds (default 7)
#   BUILD_DIR  Release build of gustara-cli and heif-decode-floor (default build-perf); the
#              pictures are kept in BUILD_DIR/phone-formats.
# Needs heif-enc (libheif-examples), cwebp and dwebp (webp), cjpeg and djpeg
# (libjpeg-turbo-progs) and netpbm. The photograph is a 4032x3024 crop (a 12 MP phone's size)
# of Elephants_5640x3172.jpg from Debian's mate-backgrounds (apt-get download).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-7}
build=${2:-$top/build-perf}
work=$build/phone-formats
shm=$(mktemp -d /dev/shm/gustara-phone.XXXXXX)
trap 'rm -rf "$shm"' EXIT

if [[ ! -f $work/.complete ]]; then
    rm -rf "$work" && mkdir -p "$work/deb"
    (cd "$work/deb" && apt-get download mate-backgrounds >/dev/null 2>&1)
    dpkg-deb --fsys-tarfile "$work"/deb/mate-backgrounds_*.deb |
        tar -xO --wildcards '*/abstract/Elephants_5640x3172.jpg' | djpeg |
        pamcut -left 804 -top 74 -width 4032 -height 3024 >"$work/photo.ppm"
    pnmtopng "$work/photo.ppm" >"$work/photo.png"
    heif-enc -q 50 "$work/photo.png" -o "$work/photo.heic" >/dev/null
    cwebp -quiet -q 80 "$work/photo.png" -o "$work/photo.webp"
    pamscale -xyfit 1280 1280 "$work/photo.ppm" >"$work/fitted.ppm"
    rm -rf "$work/deb" "$work/photo.png"
    touch "$work/.complete"
fi
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGUSTARA_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target gustara-cli heif-decode-floor -j2 >/dev/null
cli=$build/cli/gustara-cli
cp "$work/photo.heic" "$work/photo.webp" "$work/fitted.ppm" "$shm/"

decode_heic() { "$build/bench/heif-decode-floor" "$shm/photo.heic"; }
decode_webp() { dwebp -quiet "$shm/photo.webp" -ppm -o "$shm/decoded.ppm"; }
# run TOOL FORMAT: prints the seconds the whole job took.
run() {
    local start=$EPOCHREALTIME
    if [[ $1 == floor ]]; then
        "decode_$2"
        cjpeg -dct float -quality 100 -outfile "$shm/floor.jpg" "$shm/fitted.ppm"
    else
        rm -rf "$shm/out"
        "$cli" --more-formats --jobs 1 --size=1280 --dir=out "$shm/photo.$2" >/dev/null
    fi
    awk -v a="$EPOCHREALTIME" -v b="$start" 'BEGIN { print a - b }'
}

echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)"
results=$shm/results
for ((round = 1; round <= rounds; ++round)); do
    for format in heic webp; do
        if ((round % 2)); then floor=$(run floor $format); gustara=$(run gustara $format)
        else gustara=$(run gustara $format); floor=$(run floor $format); fi
        echo "$format $floor $gustara" >>"$results"
    done
done
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
for format in heic webp; do
    awk -v f="$format" '$1 == f { print $3 / $2, $2, $3 }' "$results" | sort -n | awk -v f="$format" '
        { ratio[NR] = $1; floor[NR] = $2; job[NR] = $3 }
        END { m = int((NR + 1) / 2)
              printf "%s 4032x3024: gustara / floor min %.3f median %.3f max %.3f (at most 1.1); median pair %.3f s / %.3f s\n",
                     f, ratio[1], ratio[m], ratio[NR], job[m], floor[m] }'
done
