#!/usr/bin/env bash
# Makes the README's before/after strip doc/strengths.jpg with gustara-cli --compare: the
# sample photograph (see scripts/sample-photo.sh) as it is and at strengths 1, 2 and 3, side
# by side, each fitted into 400 pixels.
# Usage: scripts/make-strengths-strip.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
photo=$("$top/scripts/sample-photo.sh" "$build/sample-photo")
# --compare never replaces a file, so the old strip goes first.
rm -f "$top/doc/strengths.jpg"
"$build/cli/gustara-cli" --compare="$top/doc/strengths.jpg" --size=400 "$photo"
