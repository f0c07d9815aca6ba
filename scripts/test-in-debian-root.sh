#!/usr/bin/env bash
# Builds Gustara and runs its Release tests in a clean root of another Debian release, made with
# mmdebstrap from Debian's archive: the working tree is copied in and the set-up script installs
# what that release needs, as on a fresh machine. The root, the build inside it and the log stay
# in FOLDER until the next run; the terminal gets a few lines.
# Usage: scripts/test-in-debian-root.sh SUITE FOLDER    e.g. trixie build-debian13
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
suite=$1
dir=$(mkdir -p "$2" && cd "$2" && pwd)
root=$dir/root log=$dir/test.log

# root mode as root; otherwise a user namespace (needs the uidmap package).
mode=root
[ "$(id -u)" -eq 0 ] || mode=unshare
# What a root of an earlier run left; --one-file-system never follows a mount out of it.
rm -rf --one-file-system "$root"

# Inside the root, as a new user would: install what is missing, build, run the tests.
inside='cd /src && scripts/install-deps.sh test \
  && scripts/build.sh /build -DBUILD_TESTING=ON -DGUSTARA_BUILD_BENCH=OFF -DGUSTARA_BUILD_APP=ON \
  && ctest --test-dir /build --output-on-failure --parallel "$(nproc)" --timeout 900'
start=$(date +%s)
echo "Debian $suite: building and testing in a clean root ($log)"
status=0
mmdebstrap --mode="$mode" --variant=apt \
  --customize-hook='mkdir "$1/src"' \
  --customize-hook="tar -C '$top' --anchored --exclude=./.git --exclude='./build*' --exclude='./fuzz/corpus-*' --exclude=./fuzz/findings -cf - . | tar -C \"\$1/src\" -xf -" \
  --customize-hook="chroot \"\$1\" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 sh -c '$inside'" \
  "$suite" "$root" http://deb.debian.org/debian >"$log" 2>&1 || status=$?
minutes=$(( ($(date +%s) - start + 30) / 60 ))
if [ "$status" -ne 0 ]; then
  tail -25 "$log" >&2
  echo "Debian $suite: FAILED after $minutes min (status $status); the whole log: $log" >&2
  exit 1
fi
echo "Debian $suite: $(grep -o '[0-9]*% tests passed.*' "$log" | tail -1) in $minutes min"
