#!/usr/bin/env bash
# A manual page formats without a single troff warning at its strictest level, as man formats
# it for a UTF-8 terminal and, for an English page, for an ASCII one (LANG=C), where a Japanese
# label it quotes would otherwise be dropped; at 80 columns no line is wider, counting a Japanese
# character as two; it is in the language of its folder (Japanese under ja/, English otherwise),
# and names every option that the program's --help lists in that language, or every option of a
# list (one a line, as the command line's rows give it).
# Usage: man-pages-test.sh PAGE [PROGRAM | OPTION-LIST]
set -euo pipefail

page=$1
program=${2:-}

for tool in man groff; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed" >&2; exit 77; }
done

devices=(utf8)
[[ $page == */ja/* ]] || devices+=(ascii)
for device in "${devices[@]}"; do
    warnings=$(groff -Kutf-8 -ww -man -z -T"$device" "$page" 2>&1)
    [[ -z $warnings ]] || { echo "$device: $warnings" >&2; exit 1; }
done

# As man shows the page on a terminal: plain text once written to a pipe (what formatting a
# groff leaves is stripped too).
render() { LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=$1 man -l "$page" 2>/dev/null | sed 's/.\x08//g; s/\x1b\[[0-9;]*m//g'; }
width=$(render 80 | LC_ALL=C.UTF-8 wc -L)
(( width <= 80 )) || { echo "$(basename "$page") has lines of $width columns at MANWIDTH=80" >&2; exit 1; }

text=$(render 1000)
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
