#!/usr/bin/env bash
# Times the whole job, decode + fit into 1280x1280 + colour adjustment + JPEG quality 100, on
# real photographs (JPEG, then a few PNG, in one batch), for gustara-cli, the window and their
# peers, against the floor: the least work of the job, done by each format's own library, one
# picture after the other: the decode of each source (libjpeg-turbo's djpeg -dct float; for
# PNG libpng's simplified read to RGB) plus the encode of the fitted picture (cjpeg -dct float
# -quality 100 of a PPM fitted beforehand, outside the timing). Without fitting ("full") the
# floor encodes the decoded picture. Every tool runs once per round, rounds interleaved and the
# order rotated, so a change of machine load touches all tools alike; each ratio is taken
# within one round.
#
# Usage: bench/compare-tools.sh [ROUNDS] [BUILD_DIR]
#   ROUNDS     rounds of all tools (default 5)
#   BUILD_DIR  where gustara-cli and the window are built, Release (default build-perf); the
#              corpus and outputs live in BUILD_DIR/compare-tools, never in the tree.
#   TOOLS      (environment) the tools to run, default: floor gustara-j1 gustara-j2 window
#              vips imagemagick; the floor always runs.
# Needs: djpeg/cjpeg (libjpeg-turbo-progs), vips (libvips-tools), ImageMagick, GNU time, Xvfb
# and xwininfo (xvfb, x11-utils), perf (linux-perf); missing ones are installed with apt-get. The corpus comes
# from Debian's mate-backgrounds and plasma-workspace-wallpapers (apt-get download, unpacked
# by dpkg-deb).
#
# The window ("window") runs under Xvfb with its settings in a config.ini of its own (fit into
# 1280, strength 3, a sub-folder): it is started and shown first, then the pictures are dropped
# on it through XDND, and the time runs from the drop to the last output file, which it writes
# just before its final status. Its CPU time, and its context switches and migrations counted
# by perf stat attached to it, are those of the same span; its peak memory is the largest
# resident size of the program (VmHWM), start-up included. A fresh window is started for every
# round, with no window manager.
# Peak memory of the other tools is the largest resident size of any one process of a run
# (GNU time's %M), their context switches those of all their threads (%w + %c). "cores" is the
# CPU time over the wall time: how many cores a tool kept busy.
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
command -v Xvfb >/dev/null || missing+=(xvfb)
command -v xwininfo >/dev/null || missing+=(x11-utils)
command -v perf >/dev/null || missing+=(linux-perf)
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
# The floor's fitted pictures, made once: what the encode step of a fitting job is given.
fitted=$work/fitted
full=$work/full-png
if [[ $(cat "$fitted/.complete" 2>/dev/null) != "$corpus_id" ]]; then
    rm -rf "$fitted" "$full"
    mkdir -p "$fitted" "$full"
    for f in "$corpus"/*.jpg "$pngs"/*.png; do
        vips thumbnail "$f" "$fitted/$(basename "$f").ppm" 1280 --height 1280 --size down --no-rotate
    done
    for f in "$pngs"/*.png; do vips copy "$f" "$full/$(basename "$f").ppm"; done
    echo "$corpus_id" >"$fitted/.complete"
fi

# --- gustara-cli, the window and the helpers ----------------------------------------------------
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGUSTARA_BUILD_APP=ON -DGUSTARA_BUILD_BENCH=ON \
    -DBUILD_TESTING=ON >/dev/null
cmake --build "$build" --target gustara-cli gustara xdnd-drop png-read-floor -j"$(nproc)" >/dev/null
cli=$build/cli/gustara-cli
gustara=$build/app/gustara
xdnd_drop=$build/tests/tools/xdnd-drop
png_read=$build/bench/png-read-floor
sources=("$corpus"/*.jpg "$pngs"/*.png)  # the batch, in drop order

# --- the window's display and settings ----------------------------------------------------------
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$shm/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$shm"' EXIT
for _ in $(seq 100); do [[ -s $shm/display ]] && break; sleep 0.1; done
display=:$(cat "$shm/display")
window_config=$work/window-config
mkdir -p "$window_config/Ferrowin/GustaraWorks"
printf '%s\n' '[PIC_SIZE]' USE_PIC_SIZE=1 REGULAR_SIZE=1 REGULAR_INDEX=0 INPUT_SIZE=0 \
    '[PIC_SAVE]' USE_DECIDES_NAME=0 USE_MAKE_DIR=1 DIR_NAME=gustara-out \
    '[GUSTARA_LV]' LV_1=0 LV_2=0 LV_3=1 >"$window_config/Ferrowin/GustaraWorks/config.ini"
mkfifo "$shm/never"  # read -t on it is a sleep without a process

# --- the runs ---------------------------------------------------------------------------------
# run_<tool> MODE OUTDIR: the whole job on every source; MODE fit or full.
run_floor() {
    local f name decoded
    for f in "${sources[@]}"; do
        name=$(basename "$f")
        if [[ $f == *.png ]]; then
            "$png_read" "$f"
            decoded=$full/$name.ppm
        else
            djpeg -dct float -outfile "$shm/floor.ppm" "$f"
            decoded=$shm/floor.ppm
        fi
        [[ $1 == fit ]] && decoded=$fitted/$name.ppm
        cjpeg -dct float -quality 100 -outfile "$2/$name.jpg" "$decoded"
    done
}
gustara() {  # gustara-cli writes into a sub-folder of each picture's folder
    local jobs=$1 mode=$2
    local size=()
    [[ $mode == fit ]] && size=(--size=1280)
    "$cli" --jobs "$jobs" "${size[@]}" --dir=gustara-out "${sources[@]}" >/dev/null
}
run_gustara-j1() { gustara 1 "$@"; }
run_gustara-j2() { gustara 2 "$@"; }
run_vips() {
    local f name
    for f in "${sources[@]}"; do
        name=$(basename "${f%.*}")
        if [[ $1 == fit ]]; then
            vips thumbnail "$f" "$shm/thumb.v" 1280 --height 1280 --size down
            vips linear "$shm/thumb.v" "$2/$name.jpg[Q=100]" "1.08 1.04 1" "6 2 -6"
        else
            vips linear "$f" "$2/$name.jpg[Q=100]" "1.08 1.04 1" "6 2 -6"
        fi
    done
}
run_imagemagick() {
    local f fit=()
    [[ $1 == fit ]] && fit=(-resize '1280x1280>')
    for f in "${sources[@]}"; do
        "$convert" "$f" "${fit[@]}" -modulate 104,125 -quality 100 "$2/$(basename "${f%.*}").jpg"
    done
}
# CPU seconds (user + system) the process has used so far.
cpu_of() {
    local fields
    read -ra fields <"/proc/$1/stat"
    awk -v u="${fields[13]}" -v s="${fields[14]}" -v hz="$(getconf CLK_TCK)" 'BEGIN { print (u + s) / hz }'
}
# The window: shown first, then the drop, timed to the last output file. Prints "wall cpu peakKB
# switches migrations".
run_window() {
    local title="料理画像をおいしそうに加工するソフト" program start cpu_start written now outputs=() counter
    DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME=$window_config "$gustara" 2>"$work/window.err" &
    program=$!
    for _ in $(seq 300); do
        DISPLAY=$display xwininfo -name "$title" 2>/dev/null | grep -q IsViewable && break
        [[ -e /proc/$program ]] || { echo "the window ended before it was shown:" >&2; cat "$work/window.err" >&2; return 1; }
        sleep 0.1
    done
    [[ -e /proc/$program ]] || { echo "the window ended at start-up" >&2; return 1; }
    exec {never}<>"$shm/never"
    # perf counts the threads the window starts after it has attached, too.
    perf stat -x, -e context-switches,cpu-migrations -p "$program" -o "$shm/window-perf" 2>/dev/null &
    counter=$!
    read -t 0.3 -u "$never" || true  # time to attach
    cpu_start=$(cpu_of "$program")
    start=$EPOCHREALTIME
    DISPLAY=$display "$xdnd_drop" --timeout 30 --window-name "$title" "${sources[@]}"
    # Only builtins while the window works, so the watching takes none of its time.
    for ((written = 0; written < ${#sources[@]}; )); do
        read -t 0.005 -u "$never" || true
        outputs=("$corpus"/gustara-out/*.jpg "$pngs"/gustara-out/*.jpg)
        written=${#outputs[@]}
        if ((${EPOCHREALTIME/[.,]/} - ${start/[.,]/} > 300000000)); then
            echo "the window wrote $written of ${#sources[@]} pictures in 300 s" >&2
            break
        fi
    done
    now=$EPOCHREALTIME
    exec {never}<&-
    kill -INT "$counter"
    wait "$counter" 2>/dev/null || true
    echo "$(awk -v a="$now" -v b="$start" 'BEGIN { print a - b }') \
$(awk -v a="$(cpu_of "$program")" -v b="$cpu_start" 'BEGIN { print a - b }') \
$(awk '/^VmHWM:/ { print $2 }' "/proc/$program/status") \
$(awk -F, '$3 == "context-switches" { s = $1 } $3 == "cpu-migrations" { m = $1 } END { print s + 0, m + 0 }' "$shm/window-perf")"
    kill "$program"
    wait "$program" 2>/dev/null || true
}
shopt -s nullglob
export -f run_floor gustara run_gustara-j1 run_gustara-j2 run_vips run_imagemagick
export cli shm convert fitted full png_read
export VIPS_WARNING=0  # its notes on odd EXIF fields are not results

results=$work/results.tsv
: >"$results"
load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)
# time_run MODE TOOL ROUND: appends "mode tool round wall cpu peakKB switches migrations"
# (migrations only for the window, else -).
time_run() {
    local wall cpu user sys peak try switches migrations=- voluntary involuntary
    rm -rf "$out" "$corpus/gustara-out" "$pngs/gustara-out" && mkdir -p "$out"
    if [[ $2 == window ]]; then
        for try in 1 2 3; do  # a window that ended at start-up is started again
            wall=
            read -r wall cpu peak switches migrations < <(run_window) || true
            [[ -n $wall ]] && break
        done
        [[ -n $wall ]] || { echo "the window could not be started" >&2; exit 1; }
    else
        /usr/bin/time -f '%e %U %S %M %w %c' -o "$work/time.txt" \
            bash -c 'shopt -s nullglob; sources=("$@"); run_'"$2"' "$mode" "$out"' _ "${sources[@]}"
        read -r wall user sys peak voluntary involuntary <"$work/time.txt"
        cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')
        switches=$((voluntary + involuntary))
    fi
    echo "$1 $2 $3 $wall $cpu $peak $switches $migrations" >>"$results"
}
read -ra tools <<<"${TOOLS:-floor gustara-j1 gustara-j2 window vips imagemagick}"
[[ " ${tools[*]} " == *" floor "* ]] || tools=(floor "${tools[@]}")
for ((round = 1; round <= rounds; ++round)); do
    echo "round $round/$rounds (load $(cut -d' ' -f1 /proc/loadavg))" >&2
    # Rotate the order each round so no tool always runs right after the same one.
    for ((i = 0; i < ${#tools[@]}; ++i)); do
        tool=${tools[(i + round) % ${#tools[@]}]}
        for mode in fit full; do
            [[ $tool == window && $mode == full ]] && continue
            export mode out
            time_run "$mode" "$tool" "$round"
        done
    done
done
rm -rf "$out" "$corpus/gustara-out" "$pngs/gustara-out"

# --- the table --------------------------------------------------------------------------------
largest_raster=0
megapixels=0
for f in "${sources[@]}"; do
    w=$(vipsheader -f width "$f") h=$(vipsheader -f height "$f")
    ((w * h * 3 > largest_raster)) && largest_raster=$((w * h * 3))
    megapixels=$(awk -v sum="$megapixels" -v w="$w" -v h="$h" 'BEGIN { print sum + w * h / 1e6 }')
done
echo
printf 'corpus: %d JPEG then %d PNG pictures in one batch, %.1f megapixels in all, largest raster %.1f MB; %d rounds\n' \
    "$(ls "$corpus"/*.jpg | wc -l)" "$(ls "$pngs"/*.png | wc -l)" "$megapixels" \
    "$(awk -v b="$largest_raster" 'BEGIN { print b / 1e6 }')" "$rounds"
echo "load average at the start: $load_at_start, at the end: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)"
awk -v largest="$largest_raster" -v tools="floor gustara-j1 gustara-j2 window vips imagemagick" '
    function sort(values, n,    i, j, t) {
        for (i = 2; i <= n; ++i)
            for (j = i; j > 1 && values[j - 1] > values[j]; --j) { t = values[j]; values[j] = values[j - 1]; values[j - 1] = t }
    }
    function median(values, n) { return n % 2 ? values[(n + 1) / 2] : (values[n / 2] + values[n / 2 + 1]) / 2 }
    {
        key = $1 " " $2
        n = ++count[key]
        wall[key, n] = $4; cpu[key, n] = $5; cores[key, n] = $4 > 0 ? $5 / $4 : 0; switches[key, n] = $7
        migrations[key, n] = $8
        if ($6 > peak[key]) peak[key] = $6
        at[$1, $2, $3] = $4
        rounds[$3] = 1
    }
    END {
        printf "\n%-4s %-12s %27s %8s %6s %9s %27s %9s\n", "job", "tool", "wall s: min / median / max", "cpu s", "cores",
            "switches", "to floor: min / median / max", "peak MB"
        toolCount = split(tools, tool, " "); split("fit full", mode, " ")
        for (k = 0; k < 2 * toolCount; ++k) {
            key = mode[int(k / toolCount) + 1] " " tool[k % toolCount + 1]
            if (!(key in count)) continue
            n = count[key]; split(key, part, " ")
            for (i = 1; i <= n; ++i) { w[i] = wall[key, i]; c[i] = cpu[key, i]; b[i] = cores[key, i]; x[i] = switches[key, i]; g[i] = migrations[key, i] }
            sort(w, n); sort(c, n); sort(b, n); sort(x, n); sort(g, n)
            m = 0
            for (r in rounds)
                if ((part[1], "floor", r) in at && (part[1], part[2], r) in at)
                    ratio[++m] = at[part[1], part[2], r] / at[part[1], "floor", r]
            ratioText = "-"
            if (m) { sort(ratio, m); ratioText = sprintf("%.3f / %.3f / %.3f", ratio[1], median(ratio, m), ratio[m]) }
            printf "%-4s %-12s %27s %8.2f %6.2f %9d %27s %9.1f\n", part[1], part[2],
                sprintf("%.2f / %.2f / %.2f", w[1], median(w, n), w[n]), median(c, n), median(b, n), median(x, n), ratioText,
                peak[key] * 1024 / 1e6
            medianRatio[part[1], part[2]] = m ? median(ratio, m) : 0; peakOf[part[1], part[2]] = peak[key]
            medianCores[part[1], part[2]] = median(b, n)
            if (part[2] == "window") windowMigrations = median(g, n)
        }
        # The window against --jobs 2 on the same drop, round by round.
        m = 0
        for (r in rounds)
            if (("fit", "window", r) in at && ("fit", "gustara-j2", r) in at)
                windowToCli[++m] = at["fit", "window", r] / at["fit", "gustara-j2", r]
        windowText = "-"
        if (m) { sort(windowToCli, m); windowText = sprintf("%.3f / %.3f / %.3f", windowToCli[1], median(windowToCli, m), windowToCli[m]) }
        printf "\nthe window to --jobs 2, fit into 1280, min / median / max: %s; window migrations (median): %s\n",
            windowText, windowMigrations == "" ? "-" : windowMigrations
        printf "\ntargets (median ratios to the floor of the same job):\n"
        printf "  fit into 1280, the window                %.3f  (at most 0.66)\n", medianRatio["fit", "window"]
        printf "  fit into 1280, the window to --jobs 2    %.3f  (at most 1.05)\n", m ? median(windowToCli, m) : 0
        printf "  fit into 1280, the window, cores busy    %.2f  (at least 1.8)\n", medianCores["fit", "window"]
        printf "  fit into 1280, --jobs 2                  %.3f  (at most 0.60)\n", medianRatio["fit", "gustara-j2"]
        printf "  fit into 1280, one picture at a time     %.3f  (at most 1.00)\n", medianRatio["fit", "gustara-j1"]
        printf "  no fitting, one picture at a time        %.3f  (at most 1.08)\n", medianRatio["full", "gustara-j1"]
        printf "  peak memory, the window                  %.1f MB  (at most %.1f MB)\n",
            peakOf["fit", "window"] * 1024 / 1e6, (2 * largest + 40e6) / 1e6
        printf "  peak memory, one picture at a time       %.1f MB fitting, %.1f MB not  (at most %.1f MB)\n",
            peakOf["fit", "gustara-j1"] * 1024 / 1e6, peakOf["full", "gustara-j1"] * 1024 / 1e6, (1.25 * largest + 20e6) / 1e6
    }' "$results"
