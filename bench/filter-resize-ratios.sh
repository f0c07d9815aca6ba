#!/usr/bin/env bash
# Measures the flavour filter and the resampler on a 24-megapixel picture against decoding
# a JPEG of the same picture, in one benchmark run with interleaved repetitions, and prints
# filter/decode and resize/decode (wall-clock time) as min, median and max over the
# repetitions, each repetition's kernels divided by that repetition's decode.
# Usage: bench/filter-resize-ratios.sh [REPETITIONS] [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
repetitions=${1:-10}
build=${2:-$top/build}
bench=$build/bench/gustara_bench
[[ -x $bench ]] || { echo "no $bench: build the gustara_bench target first" >&2; exit 1; }

"$bench" --benchmark_filter='^BM_(DecodeJpeg24MP|FlavourFilter24MP|AreaAverageResize24MP/1280)/' \
    --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
    --benchmark_format=csv 2>/dev/null |
awk -F, '
    function stats(label, values, n,    i, j, t) {
        for (i = 2; i <= n; ++i)
            for (j = i; j > 1 && values[j - 1] > values[j]; --j) {
                t = values[j]; values[j] = values[j - 1]; values[j - 1] = t
            }
        printf "%-16s min %.3f  median %.3f  max %.3f  (%d repetitions)\n", label, values[1],
            (n % 2 ? values[(n + 1) / 2] : (values[n / 2] + values[n / 2 + 1]) / 2), values[n], n
    }
    {
        gsub(/"/, "", $1)
        if ($1 ~ /_(mean|median|stddev|cv)$/) next
        if ($1 ~ /^BM_DecodeJpeg24MP\//) decode[++d] = $3
        else if ($1 ~ /^BM_FlavourFilter24MP\//) filter[++f] = $3
        else if ($1 ~ /^BM_AreaAverageResize24MP\/1280\//) resize[++r] = $3
    }
    END {
        if (d == 0 || d != f || d != r) { print "unexpected benchmark output" > "/dev/stderr"; exit 1 }
        for (i = 1; i <= d; ++i) { fr[i] = filter[i] / decode[i]; rr[i] = resize[i] / decode[i]; dd[i] = decode[i] }
        stats("decode (ms)", dd, d)
        stats("filter/decode", fr, d)
        stats("resize/decode", rr, d)
    }'
