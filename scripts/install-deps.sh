#!/usr/bin/env bash
# Installs the Debian packages that are missing, and only then refreshes the package lists.
# Usage: scripts/install-deps.sh run|test|package|pictures
set -euo pipefail

packages=(cmake g++ make pkg-config libjpeg62-turbo-dev libpng-dev zlib1g-dev libgif-dev
          libheif-dev libwebp-dev
          qt6-base-dev qt6-svg-dev qt6-translations-l10n fonts-ipafont-gothic xdg-utils)
# cpack's Debian generator asks dpkg-shlibdeps and file for the libraries the programs need.
packaging=(dpkg-dev file)
case "${1:-run}" in
  test) packages+=(libgtest-dev libbenchmark-dev libjpeg-turbo-progs libheif-examples webp xvfb xauth libx11-dev
                   "${packaging[@]}" lintian desktop-file-utils appstream man-db) ;;
  package) packages+=("${packaging[@]}") ;;
  pictures) packages+=(xvfb xauth x11-utils imagemagick) ;;  # the README's screenshots
esac

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

# Without root and without sudo rights nothing can be installed: say what the administrator
# has to install instead of leaving a bare error of sudo or apt.
need_root() {
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Installing them needs root. Ask an administrator to run:" >&2
    echo "  apt-get install ${missing[*]}" >&2
    exit 1
}
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    { command -v sudo >/dev/null && sudo -v; } || need_root
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}" >&2
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
