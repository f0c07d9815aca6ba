#!/usr/bin/env bash
# Cross-builds the libraries the Windows engine, command line and tests link, from Debian's own
# source packages (apt-get source: Debian's patches applied), as static libraries into a cache
# outside the tree. Nothing else is downloaded. Prints the folder that holds them on its last
# line; builds nothing when that folder is complete. Needs: scripts/install-deps.sh windows.
# Usage: scripts/windows/build-deps.sh [--print-prefix]
# GUSTARA_WINDOWS_CACHE: where the cache lives (default ~/.cache/gustara-windows).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
cache=${GUSTARA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/gustara-windows}
# The folder's name changes with this script and the toolchain file, so an edit of either
# never reuses libraries built the old way.
stamp=$(cat "$0" "$top/cmake/mingw-w64-x86_64.cmake" | sha256sum | cut -c1-12)
prefix=$cache/deps-bookworm-$stamp
if [ "${1:-}" = --print-prefix ]; then
  echo "$prefix"
  exit 0
fi
if [ -f "$prefix/complete" ]; then
  echo "$prefix"
  exit 0
fi

host=x86_64-w64-mingw32
jobs=${GUSTARA_JOBS:-2}
work=$cache/work-$stamp
rm -rf "$work" "$prefix"
mkdir -p "$work/sources.list.d" "$work/lists/partial" "$prefix/include" "$prefix/lib"

# A private list of Debian 12's source packages, so the system's apt configuration is neither
# needed nor touched.
cat >"$work/sources.list.d/debian-sources.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
apt_options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$work/sources.list.d"
             -o "Dir::State::Lists=$work/lists" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
             -o APT::Sandbox::User="$(id -un)")
apt-get "${apt_options[@]}" -qq update
cd "$work"
# The newest version first; where a mirror lacks the security archive's files, the release's.
for package in zlib libpng1.6 giflib libjpeg-turbo googletest; do
  apt-get "${apt_options[@]}" -qq source "$package" >/dev/null 2>&1 ||
    apt-get "${apt_options[@]}" -qq source "$package/bookworm" >/dev/null
done
ls "$work"/*.dsc | sed 's|.*/|Debian source: |' >&2
source_of() { find "$work" -maxdepth 1 -mindepth 1 -type d -name "$1-*" | head -n1; }

toolchain=$top/cmake/mingw-w64-x86_64.cmake
cmake_build() {  # source folder, build folder, cmake arguments...
  local source=$1 build=$2
  shift 2
  cmake -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DGUSTARA_WINDOWS_DEPS="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >/dev/null
  cmake --build "$build" --parallel "$jobs" >/dev/null
  cmake --install "$build" >/dev/null
}

# zlib and giflib: the Debian sources keep only their Unix build files, and each library is a
# handful of C files.
static_library() {  # name, source folder, C files without .c...
  local name=$1 source=$2
  shift 2
  mkdir -p "$work/build-$name"
  for file in "$@"; do
    "$host-gcc-posix" -O2 -Wall -c "$source/$file.c" -o "$work/build-$name/$file.o"
  done
  "$host-gcc-ar-posix" rcs "$prefix/lib/lib$name.a" "$work/build-$name"/*.o
}
zlib=$(source_of zlib)
static_library z "$zlib" adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate \
  inftrees trees uncompr zutil
cp "$zlib/zlib.h" "$zlib/zconf.h" "$prefix/include/"
giflib=$(source_of giflib)
static_library gif "$giflib" dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize
cp "$giflib/gif_lib.h" "$prefix/include/"

cmake_build "$(source_of libpng1.6)" "$work/build-png" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"

cmake_build "$(source_of libjpeg-turbo)" "$work/build-jpeg" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_SIMD=ON -DWITH_TURBOJPEG=OFF -DCMAKE_ASM_NASM_COMPILER=nasm -DCMAKE_POSITION_INDEPENDENT_CODE=OFF

cmake_build "$(source_of googletest)" "$work/build-gtest" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON \
  -Dgtest_force_shared_crt=OFF -DBUILD_SHARED_LIBS=OFF

# The licences of what the programs link, for the download.
mkdir -p "$prefix/licences"
for package in zlib libpng1.6 giflib libjpeg-turbo; do
  cp "$(source_of "$package")/debian/copyright" "$prefix/licences/$package.txt"
done
rm -rf "$work"
touch "$prefix/complete"
echo "$prefix"
