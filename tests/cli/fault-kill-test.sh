#!/bin/sh
# Sends gustara-cli, or the window given the pictures as a file manager gives them, a signal
# (SIGKILL by default) at random moments of a batch and checks after every run that nothing was
# lost: the sources are byte-identical, every .jpg present decodes completely, files written by
# earlier runs are unchanged, and no temporary file is left. A caught signal (INT, TERM) must
# also end the program with 128 + its number (gustara-cli with the stop text), even where the
# writer goes through a named temporary file, which this forces for them.
# Usage: fault-kill-test.sh <gustara-cli|gustara> [runs] [KILL|INT|TERM]; exits 77 when
# djpeg/cjpeg are missing.
set -u
cli=$(realpath "$1") || exit 1
runs=${2:-50}
signal=${3:-KILL}
case $signal in
KILL) stopped=137 ;;
INT) stopped=130; export GUSTARA_TEST_NAMED_TEMPORARY=1 ;;
TERM) stopped=143; export GUSTARA_TEST_NAMED_TEMPORARY=1 ;;
*) echo "unknown signal: $signal"; exit 1 ;;
esac
for tool in djpeg cjpeg md5sum od timeout; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
window=false
if [ "$(basename "$cli")" = gustara ]; then
    # The window stays open after its batch: only the signal ends it.
    window=true
    export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
    mkdir -m 700 "$work/config" "$work/runtime"
fi
pics=$work/pics
mkdir "$pics"
cd "$pics" || exit 1

# Noise pictures of 1500 x 1000: a few MB each, a fraction of a second for the whole batch.
{ printf 'P6\n1500 1000\n255\n'; head -c 4500000 /dev/urandom; } > "$work/noise.ppm"
cjpeg -quality 85 "$work/noise.ppm" > a.jpg
cjpeg -quality 85 -progressive "$work/noise.ppm" > c.jpg
djpeg -bmp a.jpg > b.bmp
rm "$work/noise.ppm"
md5sum a.jpg b.bmp c.jpg > "$work/sources.md5"
: > "$work/outputs.md5"

fail() {
    echo "run ${run:-0}: $*"
    exit 1
}

# Kill moments spread over one whole batch as long as it takes on this machine now: a fixed
# window would end before the first write on a loaded machine and test nothing.
started=$(date +%s%N)
if $window; then
    "$cli" a.jpg b.bmp c.jpg >/dev/null 2>&1 &
    for _ in $(seq 300); do [ -e s-c.jpg ] && break; sleep 0.1; done
    [ -e s-c.jpg ] || fail "the window's batch wrote nothing within 30 s"
    kill -KILL $! && wait $!
else
    "$cli" a.jpg b.bmp c.jpg >/dev/null 2>&1 || fail "the batch fails without being killed"
fi
batch_ms=$(( ($(date +%s%N) - started) / 1000000 + 1 ))
rm -f s-*.jpg

killed=0
checked=0
run=1
while [ "$run" -le "$runs" ]; do
    delay=$(( $(od -An -N4 -tu4 /dev/urandom) % (batch_ms + 1) + 1 ))
    files_before=$(ls -A | wc -l)
    # In the foreground: a background job of a script would start with SIGINT ignored.
    timeout --preserve-status -s "$signal" "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))" \
        "$cli" a.jpg b.bmp c.jpg >/dev/null 2>"$work/errors"
    status=$?
    case $status in
    0) ;;
    "$stopped")
        killed=$((killed + 1))
        # A signal that lands while the program is still starting, before its handler is in
        # place, ends it the default way: acceptable only when nothing was written yet.
        if [ "$signal" != KILL ] && ! $window && ! grep -q -e '中止しました' -e '^Stopped' "$work/errors"; then
            [ "$(ls -A | wc -l)" -eq "$files_before" ] || fail "no stop text"
        fi
        ;;
    *) fail "exit status $status after SIG$signal: $(cat "$work/errors")" ;;
    esac

    md5sum -c --quiet "$work/sources.md5" || fail "a source changed"
    if [ -s "$work/outputs.md5" ]; then
        md5sum -c --quiet "$work/outputs.md5" || fail "an earlier output changed"
    fi
    for name in $(ls -A); do
        case $name in
        a.jpg | b.bmp | c.jpg) ;;
        s-a*.jpg | s-b*.jpg | s-c*.jpg)
            grep -q "  $name\$" "$work/outputs.md5" && continue
            djpeg -ppm "$name" >/dev/null 2>&1 || fail "$name is not a complete JPEG"
            md5sum "$name" >> "$work/outputs.md5"
            checked=$((checked + 1))
            ;;
        .gustara-*) fail "left behind: $name (the hidden temporary file used only where the file system has no unnamed files)" ;;
        *) fail "left behind: $name" ;;
        esac
    done
    # Keep the folder small: every fifth run starts again from the sources alone.
    if [ $((run % 5)) -eq 0 ]; then
        rm -f s-*.jpg
        : > "$work/outputs.md5"
    fi
    run=$((run + 1))
done
# A loop that never killed a batch or never saw an output tested nothing.
[ "$killed" -gt 0 ] && [ "$checked" -gt 0 ] || fail "no batch was cut short or none wrote anything"
echo "$runs runs, $killed killed mid-batch, $checked outputs decoded completely; nothing lost"
