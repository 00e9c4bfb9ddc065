#!/usr/bin/env bash
# Starts the real program the three ways a user does (a shell, one quoted
# argument, the desktop entry's Exec line) and checks that the engine gets
# the medium as exactly one argument.
#   launch_forms.sh <tavrin> <sample.mkv> <tavrin.desktop>
set -euo pipefail
tavrin=$1 sample=$2 desktop=$3
work=$(mktemp -d)
trap 'pkill -P $$ 2>/dev/null || true; rm -rf "$work"' EXIT
media="$work/a b 한글.mkv"
cp "$sample" "$media"

engine_argument() { # pid of tavrin -> first argument of its engine
  for _ in $(seq 300); do
    child=$(pgrep -P "$1" -x mplayer || true)
    if [ -n "$child" ]; then
      echo "$child" > "$work/child"
      tr '\0' '\n' < "/proc/$child/cmdline" | sed -n 2p
      return 0
    fi
    sleep 0.1
  done
  echo "no engine started" >&2
  return 1
}

check() { # description, then the command; the engine must get $media
  local what=$1; shift
  "$@" >/dev/null 2>&1 &
  local pid=$!
  local got
  got=$(engine_argument "$pid") || { kill $pid; echo "FAIL: $what"; exit 1; }
  child_pid=$(cat "$work/child")
  kill $pid; wait $pid 2>/dev/null || true
  # The engine does not outlive a killed program.
  for _ in $(seq 200); do kill -0 "$child_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$child_pid" 2>/dev/null; then echo "FAIL: $what: the engine outlived tavrin"; exit 1; fi
  if [ "$got" != "$media" ]; then
    echo "FAIL: $what: the engine got [$got]"; exit 1
  fi
  echo "ok: $what"
}

check "from a shell" "$tavrin" /open "$media"
check "one quoted argument" "$tavrin" "/open \"$media\""
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ "$exec_line" = "tavrin /open %f" ] || { echo "FAIL: desktop entry Exec=$exec_line"; exit 1; }
check "desktop entry" "$tavrin" /open "$media"   # %f expands to one argument

# A double quote belongs to the file name: with a file named like the part
# before the quote beside it, the named file is still the one played.
cp "$sample" "$work/dq"
media="$work/dq\"uote.mkv"
cp "$sample" "$media"
check "a quote in the name" "$tavrin" /open "$media"
