#!/usr/bin/env bash
# OblenPlayer and OblenMediaInfo asked to end by SIGTERM, SIGHUP and SIGINT
# end as closing their windows ends them: a normal exit, OblenPlayer's
# settings saved, no describing process of OblenMediaInfo left.
#
#   end_signals.sh <oblenplayer program> <oblenmediainfo program>
set -euo pipefail
player=${1:?oblenplayer}
mediainfo=${2:?oblenmediainfo}
: "${DISPLAY:?needs a display}" "${SAMPLE_MEDIA_DIR:?}"
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "$*" >&2; cat "$work/stderr" >&2 2>/dev/null; exit 1; }

# Starts the program in the background and waits for its window.
start() {
  "$@" >/dev/null 2>"$work/stderr" &
  pid=$!
  xdotool search --sync --onlyvisible --pid "$pid" --name . >/dev/null ||
    fail "no window from $1"
}

# Sends the signal and checks that the program ended by its own steps.
end_with() {
  kill "-$1" "$pid"
  local status=0
  wait "$pid" || status=$?
  pid=
  [ "$status" = 0 ] || fail "$1 ended the program with status $status"
}

# The settings go beside a program in a folder it may write to.
cp "$player" "$work/oblenplayer"
for signal in TERM HUP INT; do
  start "$work/oblenplayer" /open "$SAMPLE_MEDIA_DIR/sample.mkv"
  # Written at start-up; only the end can write it again.
  for _ in $(seq 100); do [ -s "$work/qzconfig.ini" ] && break; sleep 0.1; done
  rm -f "$work/qzconfig.ini"
  end_with "$signal"
  [ -s "$work/qzconfig.ini" ] || fail "SIG$signal: OblenPlayer did not save its settings"
done

# During an open that does not end (a server that takes the connection and
# never answers), when closing the window would ask whether to quit: the
# signal is the answer.
server_port=$work/port
python3 -c '
import socket, sys, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen()
open(sys.argv[1], "w").write(str(s.getsockname()[1]))
conns = []
while True:
    conns.append(s.accept())
' "$server_port" &
server=$!
trap 'kill $server 2>/dev/null; cleanup' EXIT
for _ in $(seq 100); do [ -s "$server_port" ] && break; sleep 0.1; done
start "$work/oblenplayer" /open "http://127.0.0.1:$(cat "$server_port")/clip.mp4"
for _ in $(seq 100); do [ -s "$work/qzconfig.ini" ] && break; sleep 0.1; done
rm -f "$work/qzconfig.ini"
end_with TERM
[ -s "$work/qzconfig.ini" ] || fail "SIGTERM during an open: OblenPlayer did not save its settings"

for signal in TERM HUP INT; do
  start "$mediainfo" /open "$SAMPLE_MEDIA_DIR/sample.mkv"
  helper=
  for _ in $(seq 100); do
    helper=$(pgrep -P "$pid" -f oblenmediainfo-describe || true)
    [ -n "$helper" ] && break
    sleep 0.1
  done
  [ -n "$helper" ] || fail "no describing process"
  end_with "$signal"
  for _ in $(seq 50); do kill -0 "$helper" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$helper" 2>/dev/null; then fail "SIG$signal: the describing process was left"; fi
done
echo "signals end both programs as their windows' close does"
