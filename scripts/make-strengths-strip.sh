#!/usr/bin/env bash
# Makes the README's before/after strip pictures/strengths.jpg: the sample photograph (see
# scripts/sample-photo.sh) as it is and converted by gustara-cli at strengths 1, 2 and 3,
# side by side.
# Usage: scripts/make-strengths-strip.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
"$top/scripts/install-deps.sh" pictures

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$("$top/scripts/sample-photo.sh" "$build/sample-photo")" "$work/photo.png"
for level in 1 2 3; do
    "$build/cli/gustara-cli" --level=$level --size=400 --suffix=-$level "$work/photo.png" >/dev/null
done
montage -font IPAPGothic -pointsize 16 -geometry 400x267+4+4 \
    -label 元の写真 "$work/photo.png" -label "1: 通常レベルの加工" "$work/photo-1.jpg" \
    -label "2: 強く加工" "$work/photo-2.jpg" -label "3: かなり強く加工" "$work/photo-3.jpg" \
    -tile 4x1 -quality 90 "$top/pictures/strengths.jpg"
ls -l "$top/pictures/strengths.jpg"
