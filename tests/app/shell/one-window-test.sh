#!/usr/bin/env bash
# One window: a second `gustara PICTURE` with the same settings folder hands its picture to the
# running window and ends; the window converts both, in the order given. Once that window is
# killed, its socket left behind, the next launch starts a window of its own. A stopped window
# is waited for, never taken over; floods of connections do not end its listening; SIGHUP ends
# it as SIGTERM does. Without XDG_RUNTIME_DIR the socket lies in a folder of mode 0700, and a
# socket of another user put at its name is handed nothing.
# Usage: one-window-test.sh GUSTARA
set -euo pipefail
command -v cjpeg >/dev/null || { echo "skipped: cjpeg is not installed" >&2; exit 77; }
command -v python3 >/dev/null || { echo "skipped: python3 is not installed" >&2; exit 77; }
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work
printf 'P3\n1 1\n255\n200 120 40\n' | cjpeg >"$work/a.jpg"
for name in b c d e f g; do cp "$work/a.jpg" "$work/$name.jpg"; done
within_30s() { for _ in $(seq 300); do [[ -e $1 ]] && return 0; sleep 0.1; done; echo "no $1" >&2; return 1; }
fail() { echo "$*" >&2; exit 1; }

"$1" "$work/a.jpg" & first=$!
within_30s "$work/s-a.jpg"
timeout 20 "$1" "$work/b.jpg" || fail "the second launch did not hand over and end"
within_30s "$work/s-b.jpg"
[[ ! $work/s-b.jpg -ot $work/s-a.jpg ]] || fail "b.jpg was converted before a.jpg"
kill -9 $first
# Few descriptors, so that a flood of connections makes accept fail.
bash -c 'ulimit -n 64; exec "$0" "$1"' "$1" "$work/c.jpg" & window=$!
within_30s "$work/s-c.jpg"
timeout 20 "$1"  # the new window listens: a bare launch only brings it to the front

kill -STOP $window
"$1" "$work/d.jpg" 2>"$work/waiting" & waiting=$!
# The notice comes 3 s after the launch reaches the window; a loaded machine may start it late.
told() { grep -qe 'not answering' -e '応答しません' "$work/waiting"; }
for _ in $(seq 300); do told && break; sleep 0.1; done
told || fail "no word of the window not answering"
kill -0 $waiting && [[ ! -e $work/s-d.jpg ]] || fail "a stopped window was taken for dead"
kill -CONT $window
wait $waiting || fail "the launch did not hand over once the window ran again"
within_30s "$work/s-d.jpg"

python3 - "$(find "$work" -maxdepth 1 -type s)" <<'PYTHON' || fail "the window mishandled a flood, an endless message or an idle connection"
import socket, struct, sys
def connect():
    s = socket.socket(socket.AF_UNIX)
    s.connect(sys.argv[1])
    s.settimeout(15)
    return s
def dropped(s):
    try:
        return s.recv(1) == b''
    except ConnectionResetError:
        return True
for s in [connect() for _ in range(100)]:
    s.close()
endless = connect()
endless.sendall(struct.pack('>Q', 1 << 40) + b'x' * 1000)
assert dropped(endless) and dropped(connect())
PYTHON
timeout 20 "$1" "$work/e.jpg" || fail "the window stopped listening after a flood of connections"
within_30s "$work/s-e.jpg"

kill -HUP $window
wait $window && status=0 || status=$?
[[ $status -eq 129 ]] || fail "exit status $status after SIGHUP"
[[ -f $XDG_CONFIG_HOME/Ferrowin/GustaraWorks/config.ini ]] || fail "no settings saved after SIGHUP"
[[ -z $(find "$work" -maxdepth 1 -type s) ]] || fail "the socket stayed after SIGHUP"
[[ ! -e $work/s-b\(1\).jpg && ! -e $work/s-d\(1\).jpg ]] || fail "a picture was converted twice"

unset XDG_RUNTIME_DIR
export TMPDIR=$work/tmp
mkdir -m 1777 "$TMPDIR"
"$1" "$work/f.jpg" & first=$!
within_30s "$work/s-f.jpg"
socket=$(find "$TMPDIR" -type s)
[[ $(stat -c %a:%U "$(dirname "$socket")") == 700:$(id -un) && $(dirname "$socket") != "$TMPDIR" ]] ||
    fail "the socket $socket is not in a private folder"
stranger=(setpriv --reuid=65534 --regid=65534 --clear-groups env PATH=/usr/bin:/bin python3)
[[ $(id -u) -eq 0 ]] && "${stranger[@]}" -c '' 2>/dev/null || exit 0
kill -9 $first
chmod 755 "$work" && mkdir -m 777 "$work/open"
"${stranger[@]}" -c '
import socket, sys
s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1])
s.listen()
while True:
    c = s.accept()[0]
    open(sys.argv[1] + ".got", "ab").write(c.recv(999))
    c.close()' "$work/open/s" &
within_30s "$work/open/s"
mv "$work/open/s" "$socket"
"$1" "$work/g.jpg" &
within_30s "$work/s-g.jpg"
[[ ! -s $work/open/s.got ]] || fail "another user's socket was handed the pictures"
