#!/usr/bin/env bash
# Plays a 640x360 clip in Tavrin under Xvfb for 20 s and prints the CPU time
# the Tavrin process itself used (not the engine) per second of playback, its
# peak resident memory, and how many "get_time_pos " requests it sent per
# second. Prints figures only; never fails on them.
#
#   bench/tavrin-playback.sh [build folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
seconds=${BENCH_SECONDS:-20}
work=$(mktemp -d)
trap 'kill $tavrin_pid $xvfb_pid 2>/dev/null || true; rm -rf "$work"' EXIT
tavrin_pid=; xvfb_pid=

# A clip longer than the measurement, like the sample in every other way.
ffmpeg -hide_banner -loglevel error -nostdin -y \
  -f lavfi -i "testsrc2=size=640x360:rate=25:duration=$((seconds + 10))" \
  -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=$((seconds + 10))" \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac "$work/clip.mkv"

. "$root/scripts/xvfb.sh"
start_xvfb 150 1280x800

# Tavrin logs each position request it sends when its playback category is on.
QT_LOGGING_RULES="tavrin.playback.debug=true" \
  "$build/tavrin/tavrin" /open "$work/clip.mkv" >/dev/null 2>"$work/log" &
tavrin_pid=$!
sleep 1
# Nanoseconds on the CPU, summed over the process's threads.
cpu_ns() { cat /proc/$tavrin_pid/task/*/schedstat | awk '{ns += $1} END {printf "%d", ns}'; }
requests() { grep -c "position requested" "$work/log" || true; }
start=$(cpu_ns)
requests_start=$(requests)
sleep "$seconds"
end=$(cpu_ns)
requests_end=$(requests)
peak_kb=$(awk '/VmHWM/ {print $2}' "/proc/$tavrin_pid/status")
engine=$(pgrep -P "$tavrin_pid" -x mplayer || true)
engine_state=$([ -n "$engine" ] && echo "engine playing" || echo "engine NOT running")

awk -v t=$((end - start)) -v s="$seconds" -v kb="$peak_kb" -v e="$engine_state" \
    -v r=$((requests_end - requests_start)) 'BEGIN {
  printf "tavrin: %.2f ms CPU per second of playback over %d s (%s)\n", t / 1e6 / s, s, e
  printf "tavrin: %.2f%% of one core\n", t / 1e7 / s
  printf "tavrin: peak resident memory %.1f MiB\n", kb / 1024
  printf "tavrin: %.1f \"get_time_pos \" requests per second\n", r / s
}'
