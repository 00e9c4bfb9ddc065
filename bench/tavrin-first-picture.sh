#!/usr/bin/env bash
# Times exec -> first picture on the screen for Tavrin ("/open file") beside
# its peers on the same display and the same 640x360 H.264/AAC clip: MPlayer
# alone (bare, and drawing into a plain window through -wid), mpv and SMPlayer
# when installed. A small X client (first_picture.c) starts each program and
# reads the screen every 5 ms until the clip's colours show; no log line is
# trusted. The programs run one after another within a round and the rounds
# repeat (interleaved), so a busy spell of the machine hits all of them; the
# figures are medians with the range beside them.
#
#   bench/tavrin-first-picture.sh [build folder]
#
# ROUNDS (7) sets the rounds; BASE=path/to/another/tavrin adds that build. On a machine shared with other work,
# NICE=-10 (as root) runs the display and every program timed above the
# others' jobs, the same for all of them. PARTS=1 instead times the engine alone with
# Tavrin's own command line (read from the running engine) and with each part
# of it taken out in turn, to show what each part costs.
set -euo pipefail
# A session of its own, so that raising its priority (NICE) ends with the bench.
if [ -n "${NICE:-}" ] && [ -z "${BENCH_OWN_SESSION:-}" ]; then
  BENCH_OWN_SESSION=1 exec setsid --wait "$0" "$@"
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
rounds=${ROUNDS:-7}
work=$(mktemp -d)
xvfb_pid=
trap 'kill $xvfb_pid 2>/dev/null || true; rm -rf "$work"' EXIT

. "$root/bench/first-picture-setup.sh"
first_picture_setup 160
clip=$work/clip.mkv

declare -A command mapped picture
names=()
add() { names+=("$1"); command[$1]=$2; mapped[$1]=; picture[$1]=; }

time_once() { # name -> "mapped picture" appended to the name's lists
  local out
  # shellcheck disable=SC2086
  out=$("$work/first_picture" ${command[$1]} </dev/null 2>/dev/null || true)
  mapped[$1]+=" ${out% *}"
  picture[$1]+=" ${out#* }"
}

median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '
  {v[NR] = $1} END {
    if (NR == 0) { print "-"; exit }
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%d %d %d\n", m, v[1], v[NR] }'; }

run_rounds() {
  local name round
  for name in "${names[@]}"; do time_once "$name"; done # warm-up, not counted
  for name in "${names[@]}"; do mapped[$name]=; picture[$name]=; done
  for round in $(seq "$rounds"); do
    for name in "${names[@]}"; do time_once "$name"; done
  done
}

report() { # reference name
  local name ref m lo hi refm
  read -r refm _ _ < <(echo "${picture[$1]}" | median)
  printf "%-34s %8s %13s %12s %7s\n" "exec -> first picture ($rounds rounds)" median range "window seen" "ratio"
  for name in "${names[@]}"; do
    read -r m lo hi < <(echo "${picture[$name]}" | median)
    read -r ref _ _ < <(echo "${mapped[$name]}" | median)
    awk -v n="$name" -v m="$m" -v lo="$lo" -v hi="$hi" -v w="$ref" -v r="$refm" -v all="${picture[$name]}" 'BEGIN {
      printf "%-34s %6d ms %5d-%5d ms %9d ms %6.2fx   [%s ]\n", n, m, lo, hi, w, (r > 0 ? m / r : 0), all }'
  done
}

tavrin=$build/tavrin/tavrin
if [ "${PARTS:-0}" != 1 ]; then
  add "mplayer alone" "-- mplayer $clip"
  add "mplayer -wid (plain window)" "-w -- mplayer -wid %WID% $clip"
  command -v mpv >/dev/null && add "mpv" "-- mpv $clip"
  command -v smplayer >/dev/null && add "smplayer" "-- smplayer $clip"
  add "tavrin /open" "-- $tavrin /open $clip"
  # Another build to compare with, in the same rounds.
  [ -n "${BASE:-}" ] && add "tavrin /open (BASE)" "-- $BASE /open $clip"
  run_rounds
  report "mplayer alone"
  exit 0
fi

# Tavrin's own command line, as the engine received it.
"$tavrin" /open "$clip" >/dev/null 2>&1 &
tavrin_pid=$!
engine=
for _ in $(seq 100); do
  engine=$(pgrep -P "$tavrin_pid" -x mplayer || true)
  [ -n "$engine" ] && break
  sleep 0.1
done
mapfile -d '' line < "/proc/$engine/cmdline"
kill "$tavrin_pid"; wait "$tavrin_pid" 2>/dev/null || true
# The media argument becomes the clip and -wid a plain window of the bench's.
full=()
for ((i = 0; i < ${#line[@]}; i++)); do
  case "${line[$i]}" in
    -wid) full+=(-wid %WID%); i=$((i + 1)) ;;
    "$clip") full+=("$clip") ;;
    *) full+=("${line[$i]}") ;;
  esac
done
echo "engine command line: ${full[*]}"

without() { # option name and how many values follow it -> the line without it
  local drop=$1 values=$2 out=() i
  for ((i = 0; i < ${#full[@]}; i++)); do
    if [ "${full[$i]}" = "$drop" ]; then i=$((i + values)); continue; fi
    out+=("${full[$i]}")
  done
  echo "${out[*]}"
}
add "mplayer -wid (plain window)" "-w -- mplayer -wid %WID% $clip"
add "tavrin's line" "-w -- ${full[*]}"
for part in "-identify 0" "-vf-add 1" "-vf 1" "-af 1" "-lavdopts 1" "-font 1" "-nofontconfig 0" \
            "-subcp 1" "-unicode 0" "-idx 0" "-slave 0" "-zoom 0" "-nokeepaspect 0" "-colorkey 1" \
            ${EXTRA_PARTS:-}; do
  add "  without ${part% *}" "-w -- $(without $part)"
done
for extra in ${ADDED:-}; do
  add "  with ${extra//,/ }" "-w -- ${full[*]} ${extra//,/ }"
done
run_rounds
report "tavrin's line"
