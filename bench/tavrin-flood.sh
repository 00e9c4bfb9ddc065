#!/usr/bin/env bash
# Tavrin's window under an engine that prints a flood of text: the scripted
# engine prints a real clip's identify lines and then FLOOD_MB megabytes
# (default 50) of warnings, and the window is closed at the end; then an
# engine that floods without end and ignores "quit ", and the window is
# closed CLOSE_AFTER seconds (default 3) into it. Prints the longest event-loop stall, the peak
# resident memory, the output box's size and the close time of each (see
# tavrin_flood_bench.cpp). Figures only; never fails on them.
#
#   bench/tavrin-flood.sh [build folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${BUILD_DIR:-$root/build}}
bench=$build/tavrin/tavrin_flood_bench
engine=$build/tests/tavrin/fake_mplayer
[ -x "$bench" ] && [ -x "$engine" ] || { echo "build first: $bench, $engine" >&2; exit 1; }
work=$(mktemp -d)
xvfb_pid=
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT

# The clip's own output up to the start of playback, then the flood, then a
# line that tells the bench the flood is over.
data=$root/tests/tavrin/data/mplayer-sample-x11.out
sed -n '1,/^Starting playback/p' "$data" >"$work/script"
cp "$work/script" "$work/endless"
echo "@flood $(( ${FLOOD_MB:-50} * 1000000 ))" >>"$work/script"
echo "ID_EXIT=EOF" >>"$work/script"
echo "@flood 0" >>"$work/endless"

. "$root/scripts/xvfb.sh"
start_xvfb 170 1280x800
echo "Tavrin under a flood of ${FLOOD_MB:-50} MB of engine output, closed at its end, $(nproc) cores:"
TAVRIN_MPLAYER=$engine FAKE_MPLAYER_SCRIPT=$work/script "$bench" "${LIMIT_SECONDS:-90}" 2>/dev/null
echo
echo "Tavrin under an endless flood from an engine that ignores \"quit \", closed after ${CLOSE_AFTER:-3} s:"
TAVRIN_MPLAYER=$engine FAKE_MPLAYER_SCRIPT=$work/endless FAKE_MPLAYER_HANG=1 \
  "$bench" "${CLOSE_AFTER:-3}" 2>/dev/null
