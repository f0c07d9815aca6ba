#!/usr/bin/env bash
# An installation puts each file manager's action on pictures where that file manager reads it,
# and never makes Gustara the program that opens a picture: xdg-mime, which xdg-open and
# run-mailcap ask, names no default for a picture type even when Gustara's entry is the only
# one installed (an entry that claims the type is named, which shows the query works).
# Debian has no validator for KDE service menus, FileManager-Actions or Nemo actions.
# Usage: install-test.sh BUILD_DIR
# Exit status 77 (skipped) when xdg-mime is not installed.
set -euo pipefail

build=$1
command -v xdg-mime >/dev/null || { echo "skipped: xdg-mime is not installed" >&2; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
share=$work/prefix/share
entry=jp.example.gustara.desktop
for file in kio/servicemenus/$entry file-manager/actions/$entry nemo/actions/jp.example.gustara.nemo_action; do
    [[ -f $share/$file ]] || fail "the installation lacks share/$file"
done
[[ -x $share/kio/servicemenus/$entry ]] || fail "Dolphin skips a service menu in the home folder that is not executable"

# As on a desktop without a defaults list, after dpkg's trigger has refreshed the type cache;
# nothing of the caller's own settings.
default_opener() {  # SHARE_DIR TYPE
    if command -v update-desktop-database >/dev/null; then update-desktop-database "$1/applications"; fi
    env -i PATH="$PATH" HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" \
        XDG_CONFIG_DIRS="$work/home/config" XDG_DATA_DIRS="$1" xdg-mime query default "$2"
}
mkdir -p "$work/claiming/applications"
sed 's|^Exec=.*|&\nMimeType=image/bmp;|' "$share/applications/$entry" >"$work/claiming/applications/$entry"
[[ $(default_opener "$work/claiming" image/bmp) == "$entry" ]] || fail "xdg-mime does not name an entry that claims image/bmp"
for type in image/bmp image/jpeg image/png image/gif; do
    opener=$(default_opener "$share" "$type")
    [[ -z $opener ]] || fail "xdg-mime opens $type with $opener"
done
echo "xdg-mime names no program for BMP, JPEG, PNG or GIF pictures"
