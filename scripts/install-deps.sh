#!/usr/bin/env bash
# Installs the Debian packages that are missing, and only then refreshes the package lists.
# Usage: scripts/install-deps.sh run|test|package|pictures|release-root|windows
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
  release-root) packages+=(mmdebstrap uidmap) ;;  # ./test's stage on the current Debian release
  # The Windows cross-build: MinGW-w64 with the posix thread model (the win32 one has no
  # std::thread in GCC 12), nasm for libjpeg-turbo's SIMD, dpkg-dev to unpack Debian's source
  # packages, Wine to run the tests.
  windows) packages=(cmake make pkg-config g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
                     mingw-w64-tools nasm dpkg-dev wine wine64 locales zip xvfb xauth
                     # the window: Qt for Windows built with Debian's Qt tools, its icon, its test
                     qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-translations-l10n
                     librsvg2-bin imagemagick xdotool x11-utils fonts-ipafont-gothic) ;;
esac

# Wanted where the release has them: since libheif 1.17 its encoders, with which the tests make
# HEIC and AVIF pictures, are plugin packages of their own; before, libheif1 held them.
# libaom's AV1 decoder tells a broken stream only through its result, where dav1d prints it on
# the terminal, so the reader asks for libaom's wherever it is installed.
where_available=(libheif-plugin-aomdec)
[ "${1:-run}" = test ] && where_available+=(libheif-plugin-x265 libheif-plugin-aomenc)
[ "${1:-run}" != windows ] || where_available=()  # the Windows build reads no HEIF

installed() { [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]; }
known() { apt-cache show --no-all-versions "$1" >/dev/null 2>&1; }
missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
add_available() {
  for package in "${where_available[@]}"; do
    installed "$package" || ! known "$package" || [[ " ${missing[*]} " == *" $package "* ]] || missing+=("$package")
  done
}
add_available
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
"${sudo[@]}" apt-get update -qq
add_available  # a fresh list may know packages that an empty one did not
echo "Installing: ${missing[*]}" >&2
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
