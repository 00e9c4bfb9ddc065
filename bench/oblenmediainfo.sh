#!/usr/bin/env bash
# OblenMediaInfo speed: 200 media files described through the window's batch
# path, next to the `mediainfo` command given the same 200 files in one call.
# Each is run a few times, alternating, since the machine may be shared; the
# best run of each is the figure.
#
#   bench/oblenmediainfo.sh [build folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${BUILD_DIR:-$root/build}}
bench=$build/oblenmediainfo/oblenmediainfo_bench
rounds=${ROUNDS:-5}
[ -x "$bench" ] || { echo "build first: $bench is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A few kinds of media, copied up to 200 files with Hangul names.
ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
ff -f lavfi -i "testsrc2=size=320x240:rate=25:duration=2" -f lavfi -i "sine=duration=2" \
   -c:v libx264 -preset ultrafast -c:a aac -shortest "$work/kind0.mkv"
ff -f lavfi -i "testsrc2=size=320x240:rate=25:duration=2" -f lavfi -i "sine=duration=2" \
   -c:v mpeg4 -c:a libmp3lame -shortest "$work/kind1.mp4"
ff -f lavfi -i "sine=duration=2" -c:a libmp3lame "$work/kind2.mp3"
ff -f lavfi -i "sine=duration=2" -c:a flac "$work/kind3.flac"
mkdir "$work/files"
for i in $(seq -w 1 200); do
  src=$(ls "$work"/kind$(( 10#$i % 4 )).*)
  cp "$src" "$work/files/미디어 $i.${src##*.}"
done
mapfile -t files < <(ls -d "$work"/files/*)

ms() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }
echo "OblenMediaInfo on ${#files[@]} files, $(nproc) cores, $rounds rounds"
best_window=; best_command=
for round in $(seq "$rounds"); do
  line=$(QT_QPA_PLATFORM=offscreen "$bench" "${files[@]}" 2>/dev/null)
  echo "  round $round: $line"
  window=$(sed -E 's/.*workers: ([0-9]+) ms.*/\1/' <<<"$line")
  start=$(date +%s%N)
  mediainfo "${files[@]}" > /dev/null
  command=$(ms "$start")
  echo "  round $round: mediainfo command, one call: $command ms"
  if [ -z "$best_window" ] || [ "$window" -lt "$best_window" ]; then best_window=$window; fi
  if [ -z "$best_command" ] || [ "$command" -lt "$best_command" ]; then best_command=$command; fi
done
echo "best: window batch path $best_window ms, mediainfo command $best_command ms"
