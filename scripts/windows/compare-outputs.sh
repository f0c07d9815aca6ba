#!/usr/bin/env bash
# Converts tests/corpus with the Linux build's gustara-cli and with gustara-cli.exe under Wine, at
# three settings, each in a copy of its own, and compares what they did byte for byte: every
# output file, standard output, standard error (the reasons, in Japanese) and the exit status.
# Each copy also holds a picture with a Japanese name and a file already holding its output's
# name, an empty picture, a folder named as a picture and, for the sub-folder setting, a file
# where the sub-folder should be; a missing picture is named too. Every file there before the
# run must be unchanged after it. Prints a table; exits 1 on any difference.
# Usage: scripts/windows/compare-outputs.sh LINUX_CLI WINDOWS_CLI_EXE WORK_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
linux_cli=$(realpath "$1")
windows_cli=$(realpath "$2")
work=$3
rm -rf "$work/runs"
mkdir -p "$work/runs"
work=$(cd "$work" && pwd)
# shellcheck source=wine-env.sh
. "$(dirname "$0")/wine-env.sh" "$work"
# Japanese messages and UTF-8 file names: Wine takes both from the C library's locale, so the
# Japanese locale is made in a folder of its own when the system has none.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
  mkdir -p "$work/locale"
  [ -d "$work/locale/ja_JP.UTF-8" ] || localedef -c -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" 2>/dev/null || true
  export LOCPATH=$work/locale
fi
unset LANGUAGE
# Bash itself cannot see the private locale, and would say so.
{ export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; } 2>/dev/null

settings=(
  "default:--keep-going"
  "small-progressive:--keep-going -r --level=1 --size=640 --progressive --quality=80 --suffix=_小"
  "target-size-subfolder:--keep-going -r --level=2 --size=800x600 --target-size=40 --dir=出力"
)

# The pictures: the corpus, a JPEG under a Japanese name, and for the sub-folder setting a file
# named as the sub-folder in one folder.
prepare() {  # folder, setting name
  cp -r "$top/tests/corpus" "$1/corpus"
  cp "$(find "$top/tests/corpus" -name '*.jpg' | head -n1)" "$1/corpus/表.jpg"
  echo "not to be replaced" >"$1/corpus/s-表.jpg"
  mkdir "$1/folder.jpg"
  : >"$1/empty.bmp"
  [ "$2" != target-size-subfolder ] || echo "not a folder" >"$1/corpus/pngsuite/出力"
}

# Runs the program on the tree with -r, else on each of its pictures named in path order.
run() {  # folder, program and arguments
  local folder=$1
  shift
  local status=0 pictures=(corpus)
  [[ " $* " == *" -r "* ]] ||
    mapfile -t pictures < <(cd "$folder" && find corpus -type f \( -name '*.png' -o -name '*.bmp' -o -name '*.jpg' \) |
                              LC_ALL=C sort)
  (cd "$folder" && "$@" "${pictures[@]}" folder.jpg empty.bmp missing.png >stdout 2>stderr) || status=$?
  echo "$status" >"$folder/status"
}

# The files a run made, each with its checksum, in path order.
made() {  # folder
  (cd "$1" && comm -13 before <(find corpus -type f | sort) | tr '\n' '\0' | xargs -0 -r sha256sum)
}

picture_count=$(($(find "$top/tests/corpus" -type f \( -name '*.png' -o -name '*.bmp' -o -name '*.jpg' \) | wc -l) + 1))
printf '%-22s %8s %8s %10s %7s %-9s %s\n' setting pictures outputs identical status untouched "stdout, stderr"
failed=0
for entry in "${settings[@]}"; do
  name=${entry%%:*}
  read -r -a arguments <<<"${entry#*:}"
  for side in linux windows; do
    folder=$work/runs/$name-$side
    mkdir -p "$folder"
    prepare "$folder" "$name"
    (cd "$folder" && find corpus -type f | sort >before && tr '\n' '\0' <before | xargs -0 sha256sum >before.sums)
  done
  run "$work/runs/$name-linux" "$linux_cli" "${arguments[@]}"
  run "$work/runs/$name-windows" wine "$windows_cli" "${arguments[@]}"
  made "$work/runs/$name-linux" >"$work/runs/$name-linux.made"
  made "$work/runs/$name-windows" >"$work/runs/$name-windows.made"
  outputs=$(wc -l <"$work/runs/$name-linux.made")
  identical=$(comm -12 <(sort "$work/runs/$name-linux.made") <(sort "$work/runs/$name-windows.made") | wc -l)
  records=same
  for record in stdout stderr status; do
    cmp -s "$work/runs/$name-linux/$record" "$work/runs/$name-windows/$record" || records="$record DIFFERS"
  done
  untouched=yes
  for side in linux windows; do
    (cd "$work/runs/$name-$side" && sha256sum --quiet -c before.sums) || untouched=NO
  done
  linux_status=$(cat "$work/runs/$name-linux/status")
  windows_status=$(cat "$work/runs/$name-windows/status")
  printf '%-22s %8s %8s %10s %7s %-9s %s\n' "$name" "$picture_count" "$outputs" \
    "$identical/$(wc -l <"$work/runs/$name-windows.made")" "$linux_status/$windows_status" "$untouched" "$records"
  if [ "$records" != same ] || [ "$untouched" != yes ] || ! cmp -s "$work/runs/$name-linux.made" "$work/runs/$name-windows.made"; then
    failed=1
    diff "$work/runs/$name-linux.made" "$work/runs/$name-windows.made" | head -5 || true
    diff "$work/runs/$name-linux/stderr" "$work/runs/$name-windows/stderr" | head -5 || true
  fi
done
exit $failed
