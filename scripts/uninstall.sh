#!/usr/bin/env bash
# Removes what the last `cmake --install` from a build folder wrote (its install_manifest.txt),
# and then the folders it leaves empty, up to the first one that still holds something.
# Usage: scripts/uninstall.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
manifest=${1:-$top/build}/install_manifest.txt
[ -f "$manifest" ] || { echo "Nothing to remove: $manifest does not exist" >&2; exit 1; }
xargs -d '\n' rm -f <"$manifest"
sed 's|/[^/]*$||' "$manifest" | sort -ru | while IFS= read -r folder; do
    [ ! -d "$folder" ] || rmdir -p --ignore-fail-on-non-empty "$folder"
done
