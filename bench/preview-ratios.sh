#!/usr/bin/env bash
# Times the strength preview of a 24-megapixel JPEG against decoding it at full size and against
# libjpeg's bare decode at the scale the preview uses for the same cell, in one benchmark run
# with interleaved repetitions, and prints for each benchmark the median over full-decode (wall
# and CPU time) and its heap as a share of the full raster, and for each preview cell the median
# over the bare decode for that cell (wall and CPU time).
# Usage: bench/preview-ratios.sh [REPETITIONS] [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
repetitions=${1:-10}
build=${2:-$top/build}
bench=$build/bench/gustara_preview_bench
[[ -x $bench ]] || { echo "no $bench: build the gustara_preview_bench target first" >&2; exit 1; }
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

"$bench" --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
awk -F, '
    # Columns: name, iterations, real_time, cpu_time, ..., then the counters by header name.
    NR == 1 { for (i = 1; i <= NF; ++i) { gsub(/"/, "", $i); column[$i] = i }; next }
    {
        gsub(/"/, "", $1)
        if ($1 !~ /_median$/) next
        name = $1; sub(/\/real_time_median$/, "", name)
        real[name] = $3; cpu[name] = $4; heap[name] = $column["heap_per_raster"]; order[++n] = name
    }
    END {
        full = "BM_ReadJpegFull24MP"
        printf "full decode: median %.1f ms wall, %.1f ms CPU\n", real[full], cpu[full]
        for (i = 1; i <= n; ++i) {
            if (order[i] == full) continue
            printf "%-42s wall %.3f  CPU %.3f  heap/raster %.3f\n", order[i], real[order[i]] / real[full],
                cpu[order[i]] / cpu[full], heap[order[i]]
        }
        print "each preview over the bare libjpeg decode at the scale it uses:"
        for (i = 1; i <= n; ++i) {
            if (order[i] !~ /^BM_StrengthPreview24MP\//) continue
            bare = order[i]; sub(/^BM_StrengthPreview24MP/, "BM_BareJpegDecodeForCell24MP", bare)
            printf "%-42s wall %.3f  CPU %.3f\n", order[i], real[order[i]] / real[bare], cpu[order[i]] / cpu[bare]
        }
    }'
