#!/usr/bin/env bash
# OblenMediaInfo speed next to the `mediainfo` command.
#
# Batches of 200 and 1,000 files (five kinds of small media, copied under
# Hangul names): the window's batch path (oblenmediainfo_bench: the real main
# window on the display given, all files dropped at once, the process ending
# when the last report is in the text box) and the command given all files in
# one call. Runs alternate between the two, since the machine may be shared;
# each figure is the median of the rounds: wall and CPU time (user + system)
# and peak memory, and the window's longest event-loop stall during the batch.
# The window's CPU time holds its describing processes' (they are reaped
# before it ends); its peak memory is its own peak plus the sum of theirs.
#
# Then the program itself started with "/open" and one file: the time from
# its start to the first report painted on screen.
#
# Last, memory over five batches of the 1,000 files dropped one after another
# on one window: the resident memory of the window's process and of the
# describing process it keeps, after each batch. After the first batch both
# must stay flat.
#
#   bench/oblenmediainfo.sh [build folder]      (DISPLAY, or offscreen)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${BUILD_DIR:-$root/build}}
bench=$build/oblenmediainfo/oblenmediainfo_bench
program=$build/oblenmediainfo/oblenmediainfo
rounds=${ROUNDS:-5}
[ -x "$bench" ] && [ -x "$program" ] || { echo "build first: $bench is missing" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen

work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
clip=(-f lavfi -i "testsrc2=size=320x240:rate=25:duration=2" -f lavfi -i "sine=duration=2")
ff "${clip[@]}" -c:v libx264 -preset ultrafast -c:a aac -shortest "$work/kind0.mkv"
ff "${clip[@]}" -c:v mpeg4 -c:a libmp3lame -shortest "$work/kind1.mp4"
ff -f lavfi -i "sine=duration=2" -c:a libmp3lame "$work/kind2.mp3"
ff -f lavfi -i "sine=duration=2" -c:a flac "$work/kind3.flac"
ff "${clip[@]}" -c:v libvpx -deadline realtime -c:a libopus -shortest "$work/kind4.webm"
for count in 200 1000; do
  mkdir "$work/$count"
  for i in $(seq -w 1 "$count"); do
    src=$(ls "$work"/kind$(( 10#$i % 5 )).*)
    cp "$src" "$work/$count/미디어 $i.${src##*.}"
  done
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# Runs a command under GNU time; appends "wall_ms cpu_ms peak_kb" to $1.
measure() {
  local out=$1; shift
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" > "$work/stdout" 2>/dev/null
  awk '{ printf "%d %d %d\n", $1 * 1000, ($2 + $3) * 1000, $4 }' "$work/time" >> "$out"
}
column() { awk -v c="$1" '{ print $c }' "$2" | median; }

echo "OblenMediaInfo next to the mediainfo command: $(nproc) cores, $rounds rounds, load: $(uptime | sed 's/.*load average: //')"
for count in 1000 200; do
  files=("$work/$count"/*)
  : > "$work/window.$count"; : > "$work/command.$count"; : > "$work/stall.$count"
  for round in $(seq "$rounds"); do
    measure "$work/window.$count" "$bench" "${files[@]}"
    sed -E 's/.*stall ([0-9]+) ms.*/\1/' "$work/stdout" >> "$work/stall.$count"
    workers=$(sed -E 's/.*path, ([0-9]+ workers [a-z ]+):.*/\1/' "$work/stdout")
    helpers=$(sed -E 's/.*peak memory ([0-9]+) KB.*/\1/' "$work/stdout")
    # The describing processes' peaks go onto the window's own.
    awk -v h="$helpers" '{ if (NR == n) $3 += h; print }' n="$(wc -l < "$work/window.$count")" \
      "$work/window.$count" > "$work/adjusted" && mv "$work/adjusted" "$work/window.$count"
    measure "$work/command.$count" mediainfo "${files[@]}"
  done
  for what in window command; do
    printf '  %4d files, %-7s wall %5d ms  CPU %5d ms  peak %6d KB\n' "$count" "$what" \
      "$(column 1 "$work/$what.$count")" "$(column 2 "$work/$what.$count")" \
      "$(column 3 "$work/$what.$count")"
  done
  awk -v ww="$(column 1 "$work/window.$count")" -v cw="$(column 1 "$work/command.$count")" \
      -v wc="$(column 2 "$work/window.$count")" -v cc="$(column 2 "$work/command.$count")" \
      -v wm="$(column 3 "$work/window.$count")" -v cm="$(column 3 "$work/command.$count")" \
      -v n="$count" -v w="$workers" -v s="$(median < "$work/stall.$count")" \
      'BEGIN { printf "  %4d files: window/command wall %.2fx, CPU %.2fx, peak memory %.2fx; %s; longest event-loop stall %d ms\n", n, ww / cw, wc / cc, wm / cm, w, s }'
done

# Start-up: from the start of the process to the first report painted.
one="$work/200/미디어 001.mp4"
: > "$work/startup"; : > "$work/command.one"
for round in $(seq "$rounds"); do
  rm -f "$work/log"
  start=$(date +%s%N)
  QT_LOGGING_RULES="oblenmediainfo.timing.debug=true" "$program" /open "$one" \
    >/dev/null 2>"$work/log" &
  pid=$!
  for _ in $(seq 500); do grep -q 'first report shown' "$work/log" 2>/dev/null && break; sleep 0.01; done
  shown=$(sed -n 's/.*first report shown at \([0-9]*\) ns.*/\1/p' "$work/log")
  kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true
  [ -n "$shown" ] && echo $(( (shown - start) / 1000000 )) >> "$work/startup"
  measure "$work/command.one" mediainfo "$one"
done
echo "  one file via /open: shown $(median < "$work/startup") ms after start (the command's whole run: $(column 1 "$work/command.one") ms)"

echo "  memory over 5 batches of 1000 files in one window:"
"$bench" --batches 5 "$work/1000"/* 2>/dev/null | sed -n 's/^batch/    batch/p'
