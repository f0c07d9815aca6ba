#!/usr/bin/env bash
# Copies into DEST_DIR the DLLs that the given Windows programs and plugins import, and those
# that these DLLs import in turn, as read from their PE import tables
# (x86_64-w64-mingw32-objdump -p). A DLL is taken from the first SEARCH_DIR that holds it,
# its name compared without case; one found in none is Windows' own (KERNEL32.dll and the
# like) and stays out. Prints the names of the DLLs copied.
# Usage: scripts/windows/gather-dlls.sh DEST_DIR SEARCH_DIRS(colon-separated) PE_FILE...
set -euo pipefail
dest=$1
IFS=: read -r -a search <<<"$2"
shift 2
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}

declare -A seen=()
find_dll() # name
{
    local dir found
    for dir in "${search[@]}"; do
        found=$(find "$dir" -maxdepth 1 -iname "$1" -print -quit 2>/dev/null)
        [[ -n $found ]] && { echo "$found"; return; }
    done
    return 0
}
imports() # pe-file
{
    "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r'
}

queue=("$@")
while ((${#queue[@]})); do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r name; do
        key=${name,,}
        [[ -n ${seen[$key]:-} ]] && continue
        seen[$key]=1
        dll=$(find_dll "$name")
        [[ -z $dll ]] && continue
        cp "$dll" "$dest/"
        basename "$dll"
        queue+=("$dll")
    done < <(imports "$file")
done
