#!/usr/bin/env bash
# A manual page formats without a warning from troff, is in the language of its folder
# (Japanese under ja/, English otherwise), and names every option that the program's --help
# lists in that language, or every option of a list (one a line, as the command line's rows
# give it).
# Usage: man-pages-test.sh PAGE [PROGRAM | OPTION-LIST]
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
text=$(render "$page" 1000 2>/dev/null | sed 's/.\x08//g')
if [[ $page == */ja/* ]]; then locale=ja_JP.UTF-8 heading=名前; else locale=C.UTF-8 heading=NAME; fi
grep -qx "$heading" <<<"$text" || { echo "$(basename "$page") has no section $heading" >&2; exit 1; }
[[ -z $program ]] && exit 0

if [[ -x $program ]]; then
    options=$(LC_ALL=$locale "$program" --help | grep -oE -- '(^|[ ,])--?[a-z][a-z-]*' | tr -d ' ,' | sort -u)
else
    options=$(<"$program")
fi
[[ -n $options ]] || { echo "$program --help lists no options" >&2; exit 1; }
missing=0
for option in $options; do
    grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$text" \
        || { echo "$(basename "$page") does not mention $option" >&2; missing=1; }
done
exit $missing
