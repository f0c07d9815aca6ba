#!/usr/bin/env bash
# Times the whole job, decode + fit into 1280x1280 + colour adjustment + JPEG quality 100, on
# real photographs, for gustara-cli and its peers, against the floor: libjpeg-turbo's own tools
# doing only the decode (djpeg -dct float) and the encode (cjpeg -dct float -quality 100) of the
# same pictures. Every tool runs once per round, rounds interleaved and the order rotated, so a
# change of machine load touches all tools alike; each ratio is taken within one round.
#
# Usage: bench/compare-tools.sh [ROUNDS] [BUILD_DIR]
#   ROUNDS     rounds of all tools (default 5)
#   BUILD_DIR  where gustara-cli is built, Release, without the window (default build-perf);
#              the corpus and outputs live in BUILD_DIR/compare-tools, never in the tree.
# Needs: djpeg/cjpeg/jpegtran (libjpeg-turbo-progs), vips (libvips-tools), ImageMagick,
# GNU time; missing ones are installed with apt-get. The corpus comes from Debian's
# mate-backgrounds and plasma-workspace-wallpapers (apt-get download, unpacked by dpkg-deb).
#
# The floor runs djpeg and cjpeg one after the other through a PPM in memory: through a pipe
# the two would run on two cores at once, which is no longer the cost of decoding and encoding.
# The piped form is timed too ("floor-piped") to show that difference. Peak memory is the
# largest resident size of any one process of a run (GNU time's %M).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-5}
build=${2:-$top/build-perf}
work=$build/compare-tools
corpus=$work/corpus
pngs=$work/png-corpus
out=$work/out
shm=$(mktemp -d /dev/shm/gustara-bench.XXXXXX)
trap 'rm -rf "$shm"' EXIT

# --- tools ------------------------------------------------------------------------------------
missing=()
command -v djpeg >/dev/null && command -v cjpeg >/dev/null && command -v jpegtran >/dev/null ||
    missing+=(libjpeg-turbo-progs)
command -v vips >/dev/null || missing+=(libvips-tools)
[[ -x /usr/bin/convert ]] || missing+=(imagemagick)
[[ -x /usr/bin/time ]] || missing+=(time)
if ((${#missing[@]})); then
    echo "installing ${missing[*]}" >&2
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
convert=/usr/bin/convert  # the real ImageMagick, not a wrapper earlier on PATH

# --- corpus -----------------------------------------------------------------------------------
# Photographs of 1.3 to 17.9 megapixels, baseline and progressive (the largest one is
# progressive as its package ships it: the hardest case for peak memory).
pick=(
    "usr/share/backgrounds/mate/nature/GreenMeadow.jpg GreenMeadow-p.jpg"
    "usr/share/backgrounds/mate/nature/Dune.jpg Dune.jpg"
    "usr/share/backgrounds/mate/nature/RainDrops.jpg RainDrops.jpg"
    "usr/share/backgrounds/mate/nature/Storm.jpg Storm.jpg"
    "usr/share/wallpapers/Path/contents/images/2560x1600.jpg Path.jpg"
    "usr/share/wallpapers/ColorfulCups/contents/images/2560x1600.jpg ColorfulCups-p.jpg"
    "usr/share/wallpapers/Autumn/contents/images/2560x1600.jpg Autumn-p.jpg"
    "usr/share/backgrounds/mate/nature/TwoWings.jpg TwoWings-p.jpg progressive"
    "usr/share/backgrounds/mate/nature/Wood.jpg Wood.jpg"
    "usr/share/backgrounds/mate/abstract/Elephants_3840x2160.jpg Elephants8-p.jpg"
    "usr/share/wallpapers/SafeLanding/contents/images/5120x2880.jpg SafeLanding.jpg"
    "usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg Elephants18-p.jpg"
)
# The marker names the pick, so a changed pick builds the corpus again.
corpus_id=$(printf '%s\n' "${pick[@]}" | md5sum | cut -d' ' -f1)
if [[ $(cat "$corpus/.complete" 2>/dev/null) != "$corpus_id" ]]; then
    rm -rf "$corpus" "$pngs" "$work/debs"
    mkdir -p "$corpus" "$pngs" "$work/debs/tree"
    (cd "$work/debs" && apt-get download mate-backgrounds plasma-workspace-wallpapers >/dev/null 2>&1)
    for deb in "$work"/debs/*.deb; do dpkg-deb -x "$deb" "$work/debs/tree"; done
    for entry in "${pick[@]}"; do
        read -r source name how <<<"$entry"
        case ${how:-} in
        progressive) jpegtran -copy all -progressive -outfile "$corpus/$name" "$work/debs/tree/$source" ;;
        *) cp "$work/debs/tree/$source" "$corpus/$name" ;;
        esac
    done
    # A few photographs as PNG, as a camera-less user might have them.
    for name in Path Wood Elephants8-p; do "$convert" "$corpus/$name.jpg" "$pngs/${name%-p}.png"; done
    rm -rf "$work/debs"
    echo "$corpus_id" >"$corpus/.complete"
fi

# --- gustara-cli ------------------------------------------------------------------------------
[[ -f $build/CMakeCache.txt ]] ||
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGUSTARA_BUILD_APP=OFF >/dev/null
cmake --build "$build" --target gustara-cli -j"$(nproc)" >/dev/null
cli=$build/cli/gustara-cli

# --- the runs ---------------------------------------------------------------------------------
# run_<tool> MODE FOLDER OUTDIR: the whole job on every picture of FOLDER; MODE fit or full.
run_floor() {
    local f
    for f in "$2"/*.jpg; do
        djpeg -dct float -outfile "$shm/floor.ppm" "$f"
        cjpeg -dct float -quality 100 -outfile "$3/$(basename "$f")" "$shm/floor.ppm"
    done
}
run_floor-piped() {
    local f
    for f in "$2"/*.jpg; do djpeg -dct float "$f" | cjpeg -dct float -quality 100 >"$3/$(basename "$f")"; done
}
gustara() {  # gustara-cli writes into a sub-folder of the pictures' folder
    local jobs=$1 mode=$2 folder=$3
    local size=()
    [[ $mode == fit ]] && size=(--size=1280)
    rm -rf "$folder/gustara-out"
    "$cli" --jobs "$jobs" "${size[@]}" --dir=gustara-out "$folder"/*.{jpg,png} >/dev/null
}
run_gustara-j1() { gustara 1 "$@"; }
run_gustara-j2() { gustara 2 "$@"; }
run_vips() {
    local f name
    for f in "$2"/*.{jpg,png}; do
        name=$(basename "${f%.*}")
        if [[ $1 == fit ]]; then
            vips thumbnail "$f" "$shm/thumb.v" 1280 --height 1280 --size down
            vips linear "$shm/thumb.v" "$3/$name.jpg[Q=100]" "1.08 1.04 1" "6 2 -6"
        else
            vips linear "$f" "$3/$name.jpg[Q=100]" "1.08 1.04 1" "6 2 -6"
        fi
    done
}
run_imagemagick() {
    local f fit=()
    [[ $1 == fit ]] && fit=(-resize '1280x1280>')
    for f in "$2"/*.{jpg,png}; do
        "$convert" "$f" "${fit[@]}" -modulate 104,125 -quality 100 "$3/$(basename "${f%.*}").jpg"
    done
}
shopt -s nullglob
export -f run_floor run_floor-piped gustara run_gustara-j1 run_gustara-j2 run_vips run_imagemagick
export cli shm convert
export VIPS_WARNING=0  # its notes on odd EXIF fields are not results

results=$work/results.tsv
: >"$results"
load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)
# time_run SET MODE TOOL ROUND: appends "set mode tool round wall cpu peakKB".
time_run() {
    local folder=$corpus
    [[ $1 == png ]] && folder=$pngs
    rm -rf "$out" && mkdir -p "$out"
    /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" bash -c 'shopt -s nullglob; run_'"$3"' "$@"' _ "$2" "$folder" "$out"
    read -r wall user sys peak <"$work/time.txt"
    echo "$1 $2 $3 $4 $wall $(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }') $peak" >>"$results"
}
jpeg_tools=(floor floor-piped gustara-j1 gustara-j2 vips imagemagick)
png_tools=(gustara-j1 gustara-j2 vips imagemagick)
for ((round = 1; round <= rounds; ++round)); do
    echo "round $round/$rounds" >&2
    # Rotate the order each round so no tool always runs right after the same one.
    for ((i = 0; i < ${#jpeg_tools[@]}; ++i)); do
        tool=${jpeg_tools[(i + round) % ${#jpeg_tools[@]}]}
        time_run jpeg fit "$tool" "$round"
        [[ $tool == floor* ]] || time_run jpeg full "$tool" "$round"
    done
    for ((i = 0; i < ${#png_tools[@]}; ++i)); do
        tool=${png_tools[(i + round) % ${#png_tools[@]}]}
        time_run png fit "$tool" "$round"
    done
done
rm -rf "$out" "$corpus/gustara-out" "$pngs/gustara-out"

# --- the table --------------------------------------------------------------------------------
largest_raster=0
megapixels=0
for f in "$corpus"/*.jpg; do
    w=$(vipsheader -f width "$f") h=$(vipsheader -f height "$f")
    ((w * h * 3 > largest_raster)) && largest_raster=$((w * h * 3))
    megapixels=$(awk -v sum="$megapixels" -v w="$w" -v h="$h" 'BEGIN { print sum + w * h / 1e6 }')
done
echo
printf 'corpus: %d JPEG pictures, %.1f megapixels in all, largest raster %.1f MB; %d PNG pictures; %d rounds\n' \
    "$(ls "$corpus"/*.jpg | wc -l)" "$megapixels" "$(awk -v b="$largest_raster" 'BEGIN { print b / 1e6 }')" \
    "$(ls "$pngs"/*.png | wc -l)" "$rounds"
echo "load average at the start: $load_at_start, at the end: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)"
awk -v largest="$largest_raster" -v tools="floor floor-piped gustara-j1 gustara-j2 vips imagemagick" '
    function sort(values, n,    i, j, t) {
        for (i = 2; i <= n; ++i)
            for (j = i; j > 1 && values[j - 1] > values[j]; --j) { t = values[j]; values[j] = values[j - 1]; values[j - 1] = t }
    }
    function median(values, n) { return n % 2 ? values[(n + 1) / 2] : (values[n / 2] + values[n / 2 + 1]) / 2 }
    {
        key = $1 " " $2 " " $3
        n = ++count[key]
        wall[key, n] = $5; cpu[key, n] = $6
        if ($7 > peak[key]) peak[key] = $7
        at[$1, $2, $3, $4] = $5
        rounds[$4] = 1
    }
    END {
        printf "\n%-5s %-4s %-12s %27s %8s %27s %9s\n", "set", "job", "tool", "wall s: min / median / max", "cpu s", "to floor: min / median / max", "peak MB"
        toolCount = split(tools, tool, " "); split("jpeg png", set, " "); split("fit full", mode, " ")
        for (k = 0; k < 4 * toolCount; ++k) {
            key = set[int(k / (2 * toolCount)) + 1] " " mode[int(k / toolCount) % 2 + 1] " " tool[k % toolCount + 1]
            if (!(key in count)) continue
            n = count[key]; split(key, part, " ")
            for (i = 1; i <= n; ++i) { w[i] = wall[key, i]; c[i] = cpu[key, i] }
            sort(w, n); sort(c, n)
            m = 0
            for (r in rounds)
                if ((part[1], "fit", "floor", r) in at && (part[1], part[2], part[3], r) in at)
                    ratio[++m] = at[part[1], part[2], part[3], r] / at[part[1], "fit", "floor", r]
            ratioText = "-"
            if (m) { sort(ratio, m); ratioText = sprintf("%.3f / %.3f / %.3f", ratio[1], median(ratio, m), ratio[m]) }
            if (part[3] == "floor" || part[3] == "floor-piped") part[2] = "-"
            printf "%-5s %-4s %-12s %27s %8.2f %27s %9.1f\n", part[1], part[2], part[3],
                sprintf("%.2f / %.2f / %.2f", w[1], median(w, n), w[n]), median(c, n), ratioText, peak[key] * 1024 / 1e6
            if (part[1] == "jpeg") { medianRatio[part[2], part[3]] = m ? median(ratio, m) : 0; peakOf[part[2], part[3]] = peak[key] }
        }
        limit = (1.25 * largest + 20e6) / 1e6
        printf "\ntargets (median ratios to the floor):\n"
        printf "  fit into 1280, one picture at a time  %.3f  (at most 1.12)\n", medianRatio["fit", "gustara-j1"]
        printf "  no fitting, one picture at a time     %.3f  (at most 1.08)\n", medianRatio["full", "gustara-j1"]
        printf "  fit into 1280, --jobs 2               %.3f  (at most 0.62)\n", medianRatio["fit", "gustara-j2"]
        printf "  peak memory, one picture at a time    %.1f MB fitting, %.1f MB not  (at most %.1f MB)\n",
            peakOf["fit", "gustara-j1"] * 1024 / 1e6, peakOf["full", "gustara-j1"] * 1024 / 1e6, limit
    }' "$results"
