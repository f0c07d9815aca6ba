#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs them one after the other, each for SECONDS
# (default 60), on one core. Each works in fuzz/corpus-<harness>/, seeded from tests/corpus
# (PNG and bitmap suites) and from small files made here with cjpeg and netpbm when they are
# installed. Findings and the full log of each run land in fuzz/findings/<harness>/.
# Usage: fuzz/run-all.sh [SECONDS [HARNESS...]]   e.g. fuzz/run-all.sh 600 load-jpeg ini-file
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build=$top/build-fuzz
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGUSTARA_FUZZ=ON \
  -DGUSTARA_BUILD_APP=OFF -DGUSTARA_BUILD_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --parallel 2

corpus=$top/tests/corpus
have() { command -v "$1" >/dev/null 2>&1; }

# A 16 x 16 colour ramp as a binary PPM on stdout.
ramp_ppm() {
  printf 'P6\n16 16\n255\n'
  for ((y = 0; y < 16; ++y)); do
    for ((x = 0; x < 16; ++x)); do printf "\\x$(printf %02x $((x * 16)))\\x$(printf %02x $((y * 16)))\\x80"; done
  done
}

# Writes the generated seeds of a harness into folder $2.
make_seeds() {
  local out=$2
  case $1 in
    load-jpeg)
      have cjpeg || return 0
      local source=$out/.ramp.ppm
      ramp_ppm >"$source"
      cjpeg -quality 90 "$source" >"$out/seed-baseline.jpg"
      cjpeg -progressive "$source" >"$out/seed-progressive.jpg"
      cjpeg -grayscale "$source" >"$out/seed-grey.jpg"
      cjpeg -grayscale -progressive "$source" >"$out/seed-grey-progressive.jpg"
      cjpeg -sample 1x1 -optimize -restart 1 "$source" >"$out/seed-444-restart.jpg"
      cjpeg -arithmetic "$source" >"$out/seed-arithmetic.jpg" 2>/dev/null || rm -f "$out/seed-arithmetic.jpg"
      # Progressive with many block rows, each over a memory page of coefficients.
      if have python3; then
        python3 -c 'import sys; sys.stdout.buffer.write(b"P6\n96 256\n255\n" + bytes((x * 5 + y * 3 * c) % 256 for y in range(256) for x in range(96) for c in range(3)))' |
          cjpeg -progressive -sample 2x1 >"$out/seed-progressive-tall.jpg"
      fi
      rm -f "$source"
      ;;
    load-gif)
      have ppmtogif || return 0
      ramp_ppm | pnmquant 16 2>/dev/null | ppmtogif >"$out/seed-ramp.gif" 2>/dev/null
      ramp_ppm | pnmquant 16 2>/dev/null | ppmtogif -interlace >"$out/seed-interlaced.gif" 2>/dev/null
      pgmramp -lr 8 4 | ppmtogif -transparent=black -comment=seed >"$out/seed-grey-transparent.gif" 2>/dev/null
      ppmmake red 3 2 | ppmtogif >"$out/seed-tiny.gif" 2>/dev/null
      ;;
    load-heic)
      have heif-enc && have pnmtopng || return 0
      local png=$out/.ramp.png
      ramp_ppm | pnmtopng >"$png"
      heif-enc -q 50 "$png" -o "$out/seed-ramp.heic" >/dev/null 2>&1 || true
      heif-enc -q 50 "$png" -o "$out/seed-ramp.avif" >/dev/null 2>&1 || true
      rm -f "$png"
      ;;
    load-webp)
      have cwebp && have pnmtopng || return 0
      local png=$out/.ramp.png
      ramp_ppm | pnmtopng >"$png"
      cwebp -quiet -q 50 "$png" -o "$out/seed-lossy.webp"
      cwebp -quiet -lossless "$png" -o "$out/seed-lossless.webp"
      cwebp -quiet -q 50 -alpha_q 50 -metadata all "$png" -o "$out/seed-meta.webp" 2>/dev/null || true
      rm -f "$png"
      ;;
    ini-file)
      # The first bytes become the values written (see FuzzIniFile.cpp), the rest the file.
      printf 'value\\\\x\\\\ y\n[PIC_SIZE]\r\nUSE_PIC_SIZE=1\r\nWIDTH=800\r\n[PIC_SAVE]\r\nDECIDES_STRING="s-\\n"\r\n; note\r\n' \
        >"$out/seed-settings.ini"
      ;;
    whole-number)
      printf '2147483647' >"$out/seed-max"
      printf -- '-0012' >"$out/seed-negative"
      ;;
  esac
}

# Seeds taken from the shared corpus.
corpus_seeds() {
  case $1 in
    load-png) find "$corpus/pngsuite" -name '*.png' 2>/dev/null ;;
    load-bmp) find "$corpus/bmpsuite" -name '*.bmp' 2>/dev/null ;;
    *) ;;
  esac
}

if (($# > 0)); then
  harnesses=("$@")
else
  harnesses=()
  for program in "$build"/fuzz/fuzz-*; do harnesses+=("$(basename "$program" | sed 's/^fuzz-//')"); done
fi

for name in "${harnesses[@]}"; do
  work=$top/fuzz/corpus-$name
  findings=$top/fuzz/findings/$name
  mkdir -p "$work" "$findings"
  # A probe harness starts from the pictures of its format's load harness.
  seeds=${name/#probe-/load-}
  corpus_seeds "$seeds" | while read -r file; do cp -n "$file" "$work/" 2>/dev/null || true; done
  make_seeds "$seeds" "$work"
  echo "== $name: $seconds s" >&2
  # Pictures are capped at 1 Mi pixels here, so any single allocation over 256 MB is a finding
  # (an allocation sized from a header's claim rather than from the data).
  "$build/fuzz/fuzz-$name" "$work" -max_total_time="$seconds" -rss_limit_mb=2560 -malloc_limit_mb=256 -timeout=10 \
    -artifact_prefix="$findings/" -print_final_stats=1 >"$findings/log.txt" 2>&1 || true
  grep -E '^(stat::|#[0-9]+[[:space:]]+DONE|==[0-9]+==ERROR|SUMMARY)|Test unit written' "$findings/log.txt" || true
done
