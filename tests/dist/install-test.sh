#!/usr/bin/env bash
# An installation puts each file manager's action where it is read, and never makes Gustara the
# program that opens a picture: xdg-mime (asked by xdg-open and run-mailcap) names no default
# for a picture type, though it names an entry that claims the type. Debian has no validator
# for KDE service menus, FileManager-Actions or Nemo actions.
# Usage: install-test.sh BUILD_DIR
set -euo pipefail
command -v xdg-mime >/dev/null || { echo "skipped: xdg-mime is not installed" >&2; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$1" --prefix "$work/prefix" >/dev/null
share=$work/prefix/share entry=jp.example.gustara.desktop
ls "$share/file-manager/actions/$entry" "$share/nemo/actions/jp.example.gustara.nemo_action" >/dev/null
[[ -x $share/kio/servicemenus/$entry ]] || { echo "Dolphin skips a service menu under ~ that is not executable" >&2; exit 1; }
# The actions take local files only: for a remote folder the file manager hands over a
# temporary copy that may be gone before the window reads it.
for local_only in "kio/servicemenus/$entry X-KDE-Protocols=file" "file-manager/actions/$entry Schemes=file;"; do
    grep -qx "${local_only#* }" "$share/${local_only%% *}" || { echo "${local_only%% *} lacks ${local_only#* }" >&2; exit 1; }
done

# As on a desktop without a defaults list, once dpkg's trigger has refreshed the type cache.
default_opener() {  # SHARE_DIR TYPE
    ! command -v update-desktop-database >/dev/null || update-desktop-database "$1/applications"
    env -i PATH="$PATH" HOME="$work" XDG_CONFIG_DIRS="$work" XDG_DATA_DIRS="$1" xdg-mime query default "$2"
}
mkdir -p "$work/claiming/applications"
sed 's|^Exec=.*|&\nMimeType=image/bmp;|' "$share/applications/$entry" >"$work/claiming/applications/$entry"
[[ $(default_opener "$work/claiming" image/bmp) == "$entry" ]] || { echo "xdg-mime misses a claiming entry" >&2; exit 1; }
for type in image/bmp image/jpeg image/png image/gif image/heic image/avif image/webp; do
    opener=$(default_opener "$share" "$type")
    [[ -z $opener ]] || { echo "xdg-mime opens $type with $opener" >&2; exit 1; }
done

# The uninstall script takes back every file and leaves no empty folder (the type cache above
# is this test's own).
rm -f "$share/applications/mimeinfo.cache"
"$(dirname "$0")/../../scripts/uninstall.sh" "$1"
[[ ! -e $work/prefix ]] || { echo "left after uninstalling: $(find "$work/prefix" | head -5)" >&2; exit 1; }
