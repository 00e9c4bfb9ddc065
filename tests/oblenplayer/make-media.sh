#!/usr/bin/env bash
# Media that only OblenPlayer's tests need, generated with ffmpeg into the
# given folder; files that exist are kept, so a second run costs nothing.
#
#   make-media.sh <output folder>
set -euo pipefail
out=${1:?usage: make-media.sh <output folder>}
mkdir -p "$out"
cd "$out"

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }

# 5 s H.264 + stereo AAC in MP4, 320x240.
if [ ! -s clip.mp4 ]; then
  ff -f lavfi -i "testsrc2=size=320x240:rate=25:duration=5" \
     -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=5" \
     -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 25 -c:a aac -ac 2 -b:a 64k \
     clip.tmp.mp4
  mv clip.tmp.mp4 clip.mp4
fi

# 3 s of picture and no sound.
if [ ! -s video-only.mp4 ]; then
  ff -f lavfi -i "testsrc2=size=320x240:rate=25:duration=3" \
     -c:v libx264 -preset veryfast -pix_fmt yuv420p -an video-only.tmp.mp4
  mv video-only.tmp.mp4 video-only.mp4
fi

# Windows Media and RealMedia, which the open dialog offers as supported:
# 3 s of picture and sound each.
if [ ! -s clip.wmv ]; then
  ff -f lavfi -i "testsrc2=size=320x240:rate=25:duration=3" \
     -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=3" \
     -c:v wmv2 -b:v 500k -c:a wmav2 -ac 2 -b:a 64k -f asf clip.tmp.wmv
  mv clip.tmp.wmv clip.wmv
fi
if [ ! -s clip.rm ]; then
  ff -f lavfi -i "testsrc2=size=320x240:rate=25:duration=3" \
     -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=3" \
     -c:v rv20 -b:v 500k -c:a ac3 -ac 2 -b:a 96k -f rm clip.tmp.rm
  mv clip.tmp.rm clip.rm
fi

# One second of each kind the open dialog added to its supported files
# later: WebM, Ogg Theora, MPEG-TS, M4V and Opus.
one_second() {
  local name=$1
  shift
  [ -s "$name" ] && return
  ff -f lavfi -i "testsrc2=size=160x120:rate=25:duration=1" \
     -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=1" "$@" "tmp.$name"
  mv "tmp.$name" "$name"
}
one_second clip.webm -c:v libvpx -b:v 200k -c:a libopus -b:a 48k
one_second clip.ogv -c:v libtheora -q:v 5 -c:a libvorbis -q:a 2
one_second clip.ts -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 64k
one_second clip.m4v -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 64k -f mp4
one_second sound.opus -vn -c:a libopus -b:a 48k
one_second sound.flac -vn -c:a flac

# The first third of clip.mp4: its index (at the end) is cut off.
if [ ! -s truncated.mp4 ]; then
  size=$(stat -c %s clip.mp4)
  head -c $((size / 3)) clip.mp4 > truncated.mp4
fi

# Text under a media name, no bytes at all under one, and a folder under one.
[ -s text.mp4 ] || printf 'This is not a video.\n' > text.mp4
: > empty.mp4
mkdir -p folder.mp4
