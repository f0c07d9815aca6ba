#!/usr/bin/env bash
# Builds Qt 6 for Windows (x86-64, MinGW-w64 with the posix thread model) from Debian's own
# qt6-base source package, Debian's patches applied, into the Windows cache:
# <cache>/qt6-<version>-mingw. Only what the window needs: Core, Gui, Widgets, Network (its
# local sockets hand pictures to the running window), the Windows platform plugin and the
# Windows style. No Svg: on Windows the program's icon is a resource made at build time. The host tools (moc, rcc, uic) are Debian's Qt 6 of the same version.
# Takes about 35 CPU-minutes once; a second run finds the installed Qt and does nothing.
# Usage: scripts/windows/build-qt.sh   (GUSTARA_WINDOWS_CACHE moves the cache; JOBS the jobs)
set -euo pipefail
cache=${GUSTARA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/gustara-windows}
version=6.4.2
base_src=qt6-base=$version+dfsg-10
prefix=$cache/qt6-$version-mingw
work=$cache/qt6-build
jobs=${JOBS:-2}

if [ -f "$prefix/.complete" ]; then
    echo "Qt $version for Windows is already in $prefix"
    exit 0
fi
host_version=$(dpkg-query -W -f '${Version}' qt6-base-dev 2>/dev/null || true)
case $host_version in
    "$version"+*) ;;
    *) echo "build-qt.sh: the host tools must be Debian's Qt $version (qt6-base-dev is '$host_version')" >&2
       exit 1 ;;
esac

# Debian's source packages through a list of our own, leaving the system's apt alone.
apt_dir=$cache/apt-qt
mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$work"
cat > "$apt_dir/sources/debian-src.sources" <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
apt_options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources"
             -o "Dir::State::Lists=$apt_dir/lists")
fetch_source() # package=version folder
{
    [ -d "$work/$2" ] && return
    local tmp=$work/fetch-$2
    rm -rf "$tmp" && mkdir -p "$tmp"
    (cd "$tmp" && apt-get "${apt_options[@]}" -qq --download-only source "$1")
    dpkg-source -x "$tmp"/*.dsc "$work/$2" >/dev/null
    rm -rf "$tmp"
}
apt-get "${apt_options[@]}" -qq update
fetch_source "$base_src" qtbase

toolchain=$work/mingw-posix.cmake
cat > "$toolchain" <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN

# Everything Qt bundles (zlib, libpng, PCRE2, HarfBuzz) comes from its own source tree, so that
# nothing of the Linux host leaks into the Windows libraries. Fonts come from DirectWrite/GDI,
# pictures from our own engine: no FreeType, no JPEG or GIF plugin, no OpenGL (dynamic OpenGL,
# on by default on Windows, too), no SQL, no D-Bus.
# No tablet events: Debian's source leaves out the pen tablets' header (wintab.h) that the
# Windows platform plugin would need for them. No DirectWrite 3 font database: it is built
# only with Direct2D, and Qt's default GDI font database serves the window.
features=(
    -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=OFF
    -DFEATURE_ssl=OFF -DFEATURE_openssl=OFF -DFEATURE_schannel=OFF -DFEATURE_gssapi=OFF
    -DFEATURE_libproxy=OFF -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_glib=OFF
    -DFEATURE_freetype=OFF -DFEATURE_fontconfig=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
    -DFEATURE_ico=OFF -DFEATURE_direct2d=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_directwrite3=OFF
)
# shellcheck disable=SC2054  # the commas belong to the linker option
common=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF
        -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF -DQT_HOST_PATH=/usr
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
        -DCMAKE_SHARED_LINKER_FLAGS=-Wl,--no-insert-timestamp)

started=$(date +%s)
cmake -S "$work/qtbase" -B "$work/build-base" "${common[@]}" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DCMAKE_INSTALL_PREFIX="$prefix" "${features[@]}" \
      > "$work/configure-base.log"
cmake --build "$work/build-base" --parallel "$jobs"
cmake --install "$work/build-base" > /dev/null
# The licences go with the DLLs: Debian's record of them and the texts it points to.
mkdir -p "$prefix/licences/qt6-base-texts"
cp "$work/qtbase/debian/copyright" "$prefix/licences/qt6-base.txt"
cp "$work/qtbase/LICENSES/"*.txt "$prefix/licences/qt6-base-texts/"

touch "$prefix/.complete"
echo "Qt $version for Windows built into $prefix in $(( $(date +%s) - started )) s"
