#!/usr/bin/env bash
# Prints the path of the README's sample photograph, taken from Debian's python3-skimage
# package (scikit-image's coffee.png: a cup of espresso by Rachel Michetti, CC0).
# The package is downloaded once with apt-get and unpacked into the folder given.
# Usage: scripts/sample-photo.sh CACHE_DIR
set -euo pipefail
cache=$1
photo=$cache/coffee.png
if [[ ! -f $photo ]]; then
    mkdir -p "$cache/deb"
    (cd "$cache/deb" && apt-get download python3-skimage >/dev/null)
    dpkg-deb --fsys-tarfile "$cache"/deb/python3-skimage_*.deb \
        | tar -xO --wildcards '*/skimage/data/coffee.png' >"$photo.part"
    mv "$photo.part" "$photo"
    rm -rf "$cache/deb"
fi
echo "$photo"
