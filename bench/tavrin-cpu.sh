#!/usr/bin/env bash
# Plays a 640x360 H.264/AAC clip in Tavrin and in SMPlayer (when installed)
# under one Xvfb and prints each front-end's own CPU time per second of
# playback (the front-end process only, all its threads, not the engine it
# runs), its resident memory, and for Tavrin how many "get_time_pos "
# requests it sent per second (counted in one more run, with its log on).
# The players take turns within a round and the
# rounds repeat (interleaved), so a busy spell of the machine hits both; the
# figures are medians with the range beside them. Prints figures only; never
# fails on them.
#
#   bench/tavrin-cpu.sh [build folder]
#
# ROUNDS (5) rounds of BENCH_SECONDS (15) each, after SETTLE (3) seconds of
# start-up that are not counted. BASE=path/to/another/tavrin adds that build
# to the rounds. NICE=-10 (as root) runs the display and the players above
# the machine's other jobs, the same for all of them.
set -euo pipefail
if [ -n "${NICE:-}" ] && [ -z "${BENCH_OWN_SESSION:-}" ]; then
  BENCH_OWN_SESSION=1 exec setsid --wait "$0" "$@"
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
seconds=${BENCH_SECONDS:-15}
settle=${SETTLE:-3}
rounds=${ROUNDS:-5}
work=$(mktemp -d)
player_pid=; xvfb_pid=
trap 'kill $player_pid $xvfb_pid 2>/dev/null || true; rm -rf "$work"' EXIT

# A clip longer than a measurement, like the sample in every other way.
ffmpeg -hide_banner -loglevel error -nostdin -y \
  -f lavfi -i "testsrc2=size=640x360:rate=25:duration=$((seconds + settle + 10))" \
  -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=$((seconds + settle + 10))" \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac "$work/clip.mkv"

. "$root/scripts/xvfb.sh"
start_xvfb 150 1280x800
if [ -n "${NICE:-}" ]; then
  renice -n "$NICE" -p $$ "$xvfb_pid" >/dev/null
  echo "$NICE" > /proc/$$/autogroup 2>/dev/null || true
fi
# SMPlayer keeps its settings in the user's folders: give it fresh ones.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
mkdir -p "$XDG_CONFIG_HOME"

# Nanoseconds on the CPU, summed over the process's threads.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ns += $1} END {printf "%d", ns}'; }
requests() { grep -c "position requested" "$work/log" || true; }

declare -A command cpu rss rate engine_seen
names=()
add() { names+=("$1"); command[$1]=$2; cpu[$1]=; rss[$1]=; rate[$1]=; engine_seen[$1]=0; }

measure() { # name [rate]: one run, figures appended to the name's lists
  local start end r0 r1 kb logging=
  # Tavrin logs each position request it sends when its playback category is
  # on; writing that log costs about a quarter of what is measured, so the
  # requests are counted in runs of their own ("rate"), not in the timed ones.
  [ -n "${2:-}" ] && logging="tavrin.playback.debug=true"
  # shellcheck disable=SC2086
  QT_LOGGING_RULES="$logging" ${command[$1]} "$work/clip.mkv" \
    >/dev/null 2>"$work/log" </dev/null &
  player_pid=$!
  sleep "$settle"
  start=$(cpu_ns $player_pid); r0=$(requests)
  sleep "$seconds"
  end=$(cpu_ns $player_pid); r1=$(requests)
  kb=$(awk '/VmRSS/ {print $2}' "/proc/$player_pid/status")
  if [ -z "${2:-}" ] && pgrep -P "$player_pid" -x 'mplayer|mpv' >/dev/null; then
    engine_seen[$1]=$((engine_seen[$1] + 1))
  fi
  kill "$player_pid"; wait "$player_pid" 2>/dev/null || true
  # An engine that outlives its front-end for a moment must not overlap the next run.
  for _ in $(seq 100); do pgrep -x 'mplayer|mpv' -P 1 >/dev/null || break; sleep 0.05; done
  player_pid=
  if [ -n "${2:-}" ]; then
    rate[$1]+=" $(awk -v r=$((r1 - r0)) -v s="$seconds" 'BEGIN {printf "%.1f", r / s}')"
    return
  fi
  cpu[$1]+=" $(awk -v t=$((end - start)) -v s="$seconds" 'BEGIN {printf "%.3f", t / 1e7 / s}')"
  rss[$1]+=" $(awk -v kb="$kb" 'BEGIN {printf "%.1f", kb / 1024}')"
}

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '
  {v[NR] = $1} END {
    if (NR == 0) { print "- - -"; exit }
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    print m, v[1], v[NR] }'; }

add "tavrin" "$build/tavrin/tavrin /open"
[ -n "${BASE:-}" ] && add "tavrin (BASE)" "$BASE /open"
command -v smplayer >/dev/null && add "smplayer" "smplayer"
for round in $(seq "$rounds"); do
  for name in "${names[@]}"; do measure "$name"; done
done
for name in "${names[@]}"; do
  if [[ $name == tavrin* ]]; then measure "$name" rate; fi
done

read -r peer _ _ < <(echo "${cpu[smplayer]:-}" | median)
printf "front-end while playing (%d rounds of %d s)   %%core median (range)   ratio   RSS MiB   requests/s   engine seen\n" \
  "$rounds" "$seconds"
for name in "${names[@]}"; do
  read -r c lo hi < <(echo "${cpu[$name]}" | median)
  read -r m _ _ < <(echo "${rss[$name]}" | median)
  read -r q _ _ < <(echo "${rate[$name]}" | median)
  awk -v n="$name" -v c="$c" -v lo="$lo" -v hi="$hi" -v p="$peer" -v m="$m" -v q="$q" \
      -v e="${engine_seen[$name]}/$rounds" -v all="${cpu[$name]}" 'BEGIN {
    printf "%-42s %6.3f (%.3f-%.3f)   %5.2fx   %7.1f   %10s   %s   [%s ]\n",
      n, c, lo, hi, (p > 0 ? c / p : 0), m, (n ~ /tavrin/ ? q : "-"), e, all }'
done
