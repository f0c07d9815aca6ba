#!/usr/bin/env bash
# Makes the Debian package from the build folder as scripts/package.sh does, checks it with
# lintian, unpacks it into a scratch root and converts a picture with the unpacked gustara-cli.
# Usage: package-test.sh BUILD_DIR
# Exit status 77 (skipped) when a packaging tool is not installed.
set -euo pipefail

build=$1
for tool in cpack dpkg-deb dpkg-shlibdeps lintian cjpeg file; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed (scripts/install-deps.sh test)" >&2
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(echo "$work"/out/gustara_*.deb)
[[ -f $deb ]] || fail "no package in $work/out"
echo "package: $(basename "$deb")"

# Errors fail the test, and a folder name repeated in a path; the rest is shown for the record.
report=$(lintian --fail-on error --pedantic --tag-display-limit 0 "$deb") || { echo "$report"; fail "lintian failed"; }
[[ -z $report ]] || echo "$report"
! grep -q 'repeated-path-segment' <<<"$report" || fail "a folder name repeats in a path"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libc6 libjpeg62-turbo libpng16-16 libgif7 libheif1 libwebp7 libwebpdemux2 libqt6widgets6 libqt6svg6 fonts-ipafont-gothic xdg-utils qt6-translations-l10n; do
    [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
for file in usr/bin/gustara usr/bin/gustara-cli usr/share/applications/jp.example.gustara.desktop \
    usr/share/icons/hicolor/scalable/apps/jp.example.gustara.svg usr/share/metainfo/jp.example.gustara.metainfo.xml \
    usr/share/kio/servicemenus/jp.example.gustara.desktop usr/share/file-manager/actions/jp.example.gustara.desktop \
    usr/share/nemo/actions/jp.example.gustara.nemo_action usr/share/man/man1/gustara.1.gz usr/share/man/man1/gustara-cli.1.gz \
    usr/share/man/ja/man1/gustara.1.gz usr/share/man/ja/man1/gustara-cli.1.gz usr/share/bash-completion/completions/gustara-cli \
    usr/share/doc/gustara/README.md usr/share/doc/gustara/copyright usr/share/doc/gustara/changelog.gz; do
    [[ -f $root/$file ]] || fail "the package lacks /$file"
done
# The installed README's pictures are where its links point.
doc=$root/usr/share/doc/gustara
for picture in $(grep -o '](pictures/[^)]*)' "$doc/README.md" | sed 's/^](//; s/)$//'); do
    [[ -f $doc/$picture ]] || fail "README.md links $picture, which the package lacks"
done

# The completion offers the program's options and only pictures among the files.
mkdir "$work/completion"
completion=$(cd "$work/completion" && touch dish.JPG notes.txt && bash -c '
    source "$1"; COMP_WORDS=(gustara-cli --lev); COMP_CWORD=1; _gustara_cli 2>/dev/null; echo "${COMPREPLY[*]}"
    COMP_WORDS=(gustara-cli ""); COMP_CWORD=1; _gustara_cli 2>/dev/null; echo "${COMPREPLY[*]}"' _ \
    "$root/usr/share/bash-completion/completions/gustara-cli")
[[ $completion == $'--level=\ndish.JPG' ]] || fail "the completion offered: $completion"

mkdir "$work/photos"
printf 'P3\n2 2\n255\n200 120 40  90 60 30  250 230 200  20 140 60\n' >"$work/photos/dish.ppm"
cjpeg -quality 90 "$work/photos/dish.ppm" >"$work/photos/dish.jpg"
written=$("$root/usr/bin/gustara-cli" --level=2 "$work/photos/dish.jpg")
[[ $written == "$work/photos/s-dish.jpg" ]] || fail "gustara-cli wrote '$written'"
file "$written" | grep -q 'JPEG image data' || fail "$(file "$written")"
"$root/usr/bin/gustara-cli" --version
