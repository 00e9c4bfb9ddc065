#!/usr/bin/env bash
# OblenPlayer started with a medium loads libav ahead only for the kinds
# that play through it: a medium with decoders of its own must not carry
# libav's pages. Each row starts the real program with /open and reads its
# mappings once the medium's own decoder is in: libav, had it been loaded
# ahead, would be there by then (its load holds up every later one).
#
#   decoders_ahead.sh <oblenplayer program> <media folder>
set -euo pipefail
player=${1:?oblenplayer}
media=${2:?media folder}
: "${DISPLAY:?needs a display}"
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# The settings go beside a program in a folder it may write to.
cp "$player" "$work/oblenplayer"

# medium, the plugin that decodes it, whether libav is mapped
rows=(
  "sound.flac libgstflac.so no"
  "sound.opus libgstopus.so no"
  "clip.webm libgstvpx.so no"
  "clip.ogv libgsttheora.so no"
  "clip.mp4 libgstlibav.so yes"
)
for row in "${rows[@]}"; do
  read -r name decoder libav <<<"$row"
  "$work/oblenplayer" /open "$media/$name" >/dev/null 2>&1 &
  pid=$!
  mapped=
  for _ in $(seq 300); do
    if grep -q "/$decoder\$" "/proc/$pid/maps" 2>/dev/null; then mapped=1; break; fi
    sleep 0.1
  done
  [ -n "$mapped" ] || { echo "$name: $decoder never loaded" >&2; exit 1; }
  if grep -q '/libgstlibav\.so$' "/proc/$pid/maps"; then found=yes; else found=no; fi
  kill -9 "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
  [ "$found" = "$libav" ] || { echo "$name: libav mapped: $found, expected $libav" >&2; exit 1; }
  echo "$name: decoded by $decoder, libav mapped: $found"
done
