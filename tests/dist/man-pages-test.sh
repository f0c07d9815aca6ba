#!/usr/bin/env bash
# A manual page formats without a warning from troff, and names every option that the
# program's --help lists.
# Usage: man-pages-test.sh PAGE [PROGRAM]
set -euo pipefail

page=$1
program=${2:-}

if ! command -v man >/dev/null; then
    echo "skipped: man is not installed" >&2
    exit 77
fi

# The same formatting that lintian checks, wide enough that no option is split.
render() { LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=${2:-80} man --warnings -E UTF-8 -l -Tutf8 "$1"; }
warnings=$(render "$page" 2>&1 >/dev/null)
if [[ -n $warnings ]]; then
    echo "$warnings" >&2
    exit 1
fi
[[ -z $program ]] && exit 0

text=$(render "$page" 1000 2>/dev/null | sed 's/.\x08//g')
options=$("$program" --help | grep -oE -- '(^|[ ,])--?[a-z][a-z-]*' | tr -d ' ,' | sort -u)
[[ -n $options ]] || { echo "$program --help lists no options" >&2; exit 1; }
missing=0
for option in $options; do
    grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$text" \
        || { echo "$(basename "$page") does not mention $option" >&2; missing=1; }
done
exit $missing
