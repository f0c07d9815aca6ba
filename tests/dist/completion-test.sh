#!/usr/bin/env bash
# The bash completion of gustara-cli offers the options, their fixed values, and folders and
# pictures as file names, so that readline escapes their spaces.
# Usage: completion-test.sh COMPLETION
set -euo pipefail

completion=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir "sub dir"
touch dish.JPG notes.txt strip.jpg

# Each case: the words up to the cursor, then what is offered (sorted, "|" between offers) and,
# after ";", the options that the completion asked readline for.
status=0
check() {
    local expected=${*: -1} words=("${@:1:$#-1}")
    local offered
    offered=$(bash -c 'compopt() { asked+="$*"; }
        source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); asked=""
        _gustara_cli; offers=$(printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd "|"); echo "$offers;$asked"' _ "$completion" gustara-cli "${words[@]}")
    [[ $offered == "$expected" ]] || { echo "${words[*]}: offered '$offered', expected '$expected'" >&2; status=1; }
}
check --lev '--level=;-o nospace'
check '' 'dish.JPG|strip.jpg|sub dir;-o filenames'
check -l '' '1|2|3;'
check --if-exists = s 'skip;'
check --output-dir = sub 'sub dir;-o filenames'
check --dir 'sub\ d' 'sub dir;-o filenames'
check --compare = '' 'dish.JPG|strip.jpg|sub dir;-o filenames'
exit $status
