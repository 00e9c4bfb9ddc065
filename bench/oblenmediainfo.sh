#!/usr/bin/env bash
# OblenMediaInfo speed: 200 media files described through the window's batch
# path, next to the `mediainfo` command given the same 200 files in one call.
#
#   bench/oblenmediainfo.sh [build folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${BUILD_DIR:-$root/build}}
bench=$build/oblenmediainfo/oblenmediainfo_bench
[ -x "$bench" ] || { echo "build first: $bench is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A few different kinds of media, copied up to 200 files.
ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
ff -f lavfi -i "testsrc2=size=320x240:rate=25:duration=2" -f lavfi -i "sine=duration=2" \
   -c:v libx264 -preset ultrafast -c:a aac -shortest "$work/kind0.mkv"
ff -f lavfi -i "testsrc2=size=320x240:rate=25:duration=2" -f lavfi -i "sine=duration=2" \
   -c:v mpeg4 -c:a libmp3lame -shortest "$work/kind1.mp4"
ff -f lavfi -i "sine=duration=2" -c:a libmp3lame "$work/kind2.mp3"
ff -f lavfi -i "sine=duration=2" -c:a flac "$work/kind3.flac"
mkdir "$work/files"
for i in $(seq -w 1 200); do
  k=$(( 10#$i % 4 ))
  src=$(ls "$work"/kind$k.*)
  cp "$src" "$work/files/미디어 $i.${src##*.}"
done
mapfile -t files < <(ls -d "$work"/files/*)

echo "OblenMediaInfo on ${#files[@]} files ($(nproc) cores)"
QT_QPA_PLATFORM=offscreen "$bench" "${files[@]}"

start=$(date +%s%N)
mediainfo "${files[@]}" > /dev/null
end=$(date +%s%N)
echo "mediainfo command, one call: $(( (end - start) / 1000000 )) ms"
