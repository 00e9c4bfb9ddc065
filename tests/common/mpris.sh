#!/usr/bin/env bash
# A player driven as the desktop's media controls drive it: playerctl on a
# private session bus against the real program and its real engine. Status,
# pause and play, position moving and holding, set position and relative seek,
# title, address and length, volume, stop, quit; and a start without any bus.
#
#   own_display.sh dbus-run-session -- mpris.sh <program> <bus name> <medium>
set -euo pipefail
program=${1:?program}
name=${2:?bus name}
source_medium=${3:?medium}
: "${DISPLAY:?needs a display}" "${DBUS_SESSION_BUS_ADDRESS:?needs a session bus}"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# The program runs from a folder of its own: what it writes beside itself
# (settings, the subtitle style) stays in the test's folder.
cp "$program" "$work/"
program="$work/$(basename "$program")"
medium="$work/클립 하나.mp4"
cp "$source_medium" "$medium"
url="file://$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1]))' "$medium")"

fail() {
  echo "FAIL: $*" >&2
  cat "$work/monitor" "$work/stderr" >&2 2>/dev/null | tail -n 40 || true
  exit 1
}
ctl() { playerctl -p "$name" "$@" 2>/dev/null; }
# Waits up to 30 s until the shell condition holds.
wait_for() {
  local what=$1
  shift
  for _ in $(seq 150); do
    if eval "$*"; then return 0; fi
    sleep 0.2
  done
  fail "$what (last status '$(ctl status || true)', position '$(ctl position || true)')"
}
position_in() { awk -v p="$(ctl position)" -v a="$1" -v b="$2" 'BEGIN { exit !(p != "" && p >= a && p <= b) }'; }
position_past() { awk -v p="$(ctl position)" -v a="$1" 'BEGIN { exit !(p != "" && p > a) }'; }
signalled() { grep -A1 "\"$1\"" "$work/monitor" | grep -q "$2"; }

dbus-monitor --session "type='signal',path='/org/mpris/MediaPlayer2'" >"$work/monitor" 2>/dev/null &
pids+=($!)
"$program" /open "$medium" >/dev/null 2>"$work/stderr" &
pids+=($!)
program_pid=$!

wait_for "playing after the open" '[ "$(ctl status)" = Playing ]'
[ "$(ctl metadata xesam:title)" = "클립 하나.mp4" ] || fail "title '$(ctl metadata xesam:title)'"
[ "$(ctl metadata xesam:url)" = "$url" ] || fail "url '$(ctl metadata xesam:url)', not '$url'"
wait_for "the length" '[ "$(( ($(ctl metadata mpris:length || echo 0) + 500000) / 1000000 ))" = 60 ]'
track=$(ctl metadata mpris:trackid | tr -d "'")
[[ $track == /* && $track != */NoTrack ]] || fail "track id '$track'"

start=$(ctl position)
wait_for "the position moves" 'position_past "$start + 0.5"'

ctl pause
wait_for "paused" '[ "$(ctl status)" = Paused ]'
wait_for "the Paused signal" 'signalled PlaybackStatus Paused'
# An answer on its way when the pause went out may still land: hold from
# the first two readings that agree, for a good second and a half.
held=
wait_for "a resting position" 'p=$(ctl position); sleep 0.2; [ "$p" = "$(ctl position)" ] && held=$p'
until_time=$((SECONDS + 2))
while [ "$SECONDS" -lt "$until_time" ]; do
  [ "$(ctl position)" = "$held" ] || fail "the position moved while paused: $held, then $(ctl position)"
  sleep 0.2
done

ctl play
wait_for "playing again" '[ "$(ctl status)" = Playing ]'
wait_for "the position moves on" 'position_past "$held + 0.3"'

ctl position 30
wait_for "at 30 s" 'position_in 29 34'
wait_for "the Seeked signal" 'grep -A1 "member=Seeked" "$work/monitor" | grep -Eq "int64 (29|3[0-4])[0-9]{6}"'
ctl position 10+
wait_for "10 s further" 'position_in 39 46'
# A position for another track is ignored: the seek after it starts from
# where the player was, not from 5 s.
gdbus call --session -d "org.mpris.MediaPlayer2.$name" -o /org/mpris/MediaPlayer2 \
  -m org.mpris.MediaPlayer2.Player.SetPosition /org/oblensuite/other/track/9 5000000 >/dev/null
ctl position 10+
wait_for "10 s further again" 'position_in 49 58'

ctl volume 0.25
wait_for "volume 0.25" 'awk -v v="$(ctl volume)" "BEGIN { exit !(v > 0.24 && v < 0.26) }"'
wait_for "the Volume signal" 'signalled Volume "double 0.2"'

ctl stop
wait_for "stopped" '[ "$(ctl status)" = Stopped ]'
ctl play
wait_for "playing after the stop" '[ "$(ctl status)" = Playing ]'
wait_for "the position moves after the stop" 'position_past 0.2'

gdbus call --session -d "org.mpris.MediaPlayer2.$name" -o /org/mpris/MediaPlayer2 \
  -m org.mpris.MediaPlayer2.Quit >/dev/null
wait_for "the program ends on Quit" '! kill -0 "$program_pid" 2>/dev/null'

# Without a session bus (none at all, or one that does not answer) the
# program opens and plays as ever.
for address in none "unix:path=$work/no-bus"; do
  if [ "$address" = none ]; then bus=(env -u DBUS_SESSION_BUS_ADDRESS); else bus=(env "DBUS_SESSION_BUS_ADDRESS=$address"); fi
  "${bus[@]}" "$program" /open "$medium" >/dev/null 2>"$work/stderr" &
  pids+=($!)
  bare_pid=$!
  wait_for "a window without a bus" 'xdotool search --pid "$bare_pid" --name "클립 하나.mp4" >/dev/null 2>&1'
  kill -0 "$bare_pid" || fail "the program ended without a bus"
  [ -z "$(ctl status)" ] || fail "a player on the bus it was not given"
  kill "$bare_pid"
done
echo "$name over MPRIS: ok"
