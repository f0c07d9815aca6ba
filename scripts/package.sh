#!/usr/bin/env bash
# Builds Gustara for installation in build-deb/ and makes its Debian package there:
#   scripts/package.sh                  -> build-deb/gustara_VERSION_ARCH.deb
#   sudo apt install ./build-deb/gustara_*.deb
# Extra arguments go to cmake, e.g. -DGUSTARA_HOMEPAGE=https://... for the About window's link.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh" package
# Debian's hardening flags, as a build by Debian's own tools would use; cmake reads them when
# it first configures build-deb.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CFLAGS CXXFLAGS LDFLAGS
"$top/scripts/build.sh" "$top/build-deb" -DBUILD_TESTING=OFF -DGUSTARA_BUILD_BENCH=OFF -DGUSTARA_BUILD_APP=ON "$@" >&2
cpack --config "$top/build-deb/CPackConfig.cmake" -B "$top/build-deb" >&2
ls "$top"/build-deb/gustara_*.deb
