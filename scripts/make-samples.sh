#!/usr/bin/env bash
# Makes the sample media the program and the tests play. Nothing here is
# committed: every file is generated with ffmpeg, and a file that already
# exists is left alone so that a second run costs nothing.
#
#   make-samples.sh <output folder>
set -euo pipefail
out=${1:?usage: make-samples.sh <output folder>}
mkdir -p "$out"
cd "$out"

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }

# Korean subtitles, kept in UTF-8 here and converted where a file needs CP949.
# The file beside the clip and the stream inside it say different things, so
# a test can tell which one the engine shows.
write_srt() {
  cat <<'SRT'
1
00:00:00,500 --> 00:00:04,000
안녕하세요, 타브린 시험 자막입니다.

2
00:00:04,500 --> 00:00:09,500
두 번째 줄: 한글 자막이 보입니다.
SRT
}
write_embedded_srt() {
  cat <<'SRT'
1
00:00:00,500 --> 00:00:09,500
내장 자막: 영상 안에 든 자막입니다.
SRT
}

# 10 s, 640x360 H.264 in Matroska, two AAC tracks (kor, eng) and an embedded
# Korean subtitle stream, with a CP949 SRT of the same base name beside it.
if [ ! -s sample.mkv ] || [ ! -s sample.srt ]; then
  write_srt > sample-utf8.srt.tmp
  write_embedded_srt > embedded.srt.tmp
  ff -f lavfi -i "testsrc2=size=640x360:rate=25:duration=10" \
     -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=10" \
     -f lavfi -i "sine=frequency=660:sample_rate=44100:duration=10" \
     -f srt -i embedded.srt.tmp \
     -map 0:v -map 1:a -map 2:a -map 3:s \
     -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 50 \
     -c:a aac -b:a 96k -ac 2 -c:s srt \
     -metadata:s:a:0 language=kor -metadata:s:a:0 title="한국어" \
     -metadata:s:a:1 language=eng -metadata:s:a:1 title="English" \
     -metadata:s:s:0 language=kor \
     sample.mkv.tmp.mkv
  iconv -f UTF-8 -t CP949 sample-utf8.srt.tmp > sample.srt.tmp
  mv sample.mkv.tmp.mkv sample.mkv
  mv sample.srt.tmp sample.srt
  rm -f sample-utf8.srt.tmp embedded.srt.tmp
fi

# Audio only: 10 s of MP3.
if [ ! -s audio-only.mp3 ]; then
  ff -f lavfi -i "sine=frequency=523:sample_rate=44100:duration=10" \
     -c:a libmp3lame -b:a 128k -metadata title="Tavrin audio sample" audio-only.tmp.mp3
  mv audio-only.tmp.mp3 audio-only.mp3
fi

# Over an hour long (1 h 2 min 5 s), made cheap with one frame a second and a
# tiny picture; for time formats and long seeks.
if [ ! -s long.mkv ]; then
  ff -f lavfi -i "testsrc=size=160x90:rate=1:duration=3725" \
     -f lavfi -i "anullsrc=channel_layout=mono:sample_rate=8000" -t 3725 \
     -c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 60 \
     -c:a aac -b:a 16k long.tmp.mkv
  mv long.tmp.mkv long.mkv
fi

# A minute of 320x240 H.264 with AAC sound in MP4: long enough for a whole
# session of steps (pause, stop, play, seek, restart) before its end.
if [ ! -s clip.mp4 ]; then
  ff -f lavfi -i "testsrc2=size=320x240:rate=25:duration=60" \
     -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=60" \
     -c:v libx264 -preset veryfast -crf 30 -pix_fmt yuv420p -g 50 \
     -c:a aac -b:a 32k clip.tmp.mp4
  mv clip.tmp.mp4 clip.mp4
fi
