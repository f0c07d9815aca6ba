#!/usr/bin/env bash
# Times the strength preview of a 24-megapixel JPEG against decoding it at full size, in one
# benchmark run with interleaved repetitions, and prints for each cell size the median of
# preview/full-decode (wall-clock and CPU time) and the preview's heap as a share of the full
# raster. Usage: bench/preview-ratios.sh [REPETITIONS] [BUILD_DIR]
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
            printf "%-36s wall %.3f  CPU %.3f  heap/raster %.3f\n", order[i], real[order[i]] / real[full],
                cpu[order[i]] / cpu[full], heap[order[i]]
        }
    }'
