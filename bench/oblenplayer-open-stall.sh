#!/usr/bin/env bash
# The OblenPlayer window's longest stall (the longest gap between ticks of a
# 5 ms timer in its event loop) while it opens H.264 MP4, FLAC, VP9 WebM,
# MPEG-2 TS and Theora Ogg media made here with ffmpeg, while F5 rebuilds
# each, and at an address that never answers (opening it, closing it and
# opening a file in its place), with the OpenGL and the X11 renderer.
#
#   bench/oblenplayer-open-stall.sh            (DISPLAY, or an Xvfb of its own)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
bench=$build/oblenplayer/oblenplayer_open_stall_bench
[ -x "$bench" ] || { echo "build oblenplayer_open_stall_bench first ($bench)" >&2; exit 1; }

work=$(mktemp -d)
. "$root/scripts/xvfb.sh"
xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
[ -n "${DISPLAY:-}" ] || start_xvfb 160 1280x800
export QT_QPA_PLATFORM=xcb GST_DEBUG=0

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
video=(-f lavfi -i testsrc2=size=640x360:rate=25:duration=10)
audio=(-f lavfi -i sine=frequency=440:sample_rate=48000:duration=10)
ff "${video[@]}" "${audio[@]}" -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac \
  "$work/h264.mp4"
ff "${audio[@]}" -c:a flac "$work/audio.flac"
ff "${video[@]}" "${audio[@]}" -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 500k \
  -c:a libopus "$work/vp9.webm"
ff "${video[@]}" "${audio[@]}" -c:v mpeg2video -b:v 2M -c:a mp2 "$work/mpeg2.ts"
ff "${video[@]}" "${audio[@]}" -c:v libtheora -q:v 5 -c:a libvorbis "$work/theora.ogv"

for renderer in ${RENDERERS:-2 1}; do
  [ "$renderer" = 2 ] && echo "OpenGL renderer" || echo "X11 renderer"
  "$bench" "$renderer" "$work"/{h264.mp4,audio.flac,vp9.webm,mpeg2.ts,theora.ogv} 2>/dev/null
done
