#!/usr/bin/env bash
# Memory over many opens of one medium: the real OblenPlayer window
# (oblenplayer_reopen_bench) opening one file again and again with the
# OpenGL and the X11 renderer, and beside it a bare GStreamer loop without
# the player (gst_reopen_loop.c) with glimagesink, glimagesink handed one
# shared GL display, and ximagesink. Prints the resident memory (MB) after
# opens 1, 10, 20, 30 and the last, and the growth per open over the second
# half.
#
#   bench/oblenplayer-reopen.sh [media file] [opens]     (DISPLAY, or an Xvfb of its own)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
file=${1:-$build/media/oblenplayer/clip.mp4}
opens=${2:-40}
bench=$build/oblenplayer/oblenplayer_reopen_bench
[ -x "$bench" ] || { echo "build oblenplayer_reopen_bench first ($bench)" >&2; exit 1; }
[ -s "$file" ] || { echo "no media file $file" >&2; exit 1; }

work=$(mktemp -d)
. "$root/scripts/xvfb.sh"
xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
[ -n "${DISPLAY:-}" ] || start_xvfb 150 1280x800
export QT_QPA_PLATFORM=xcb GST_DEBUG=0

loop=$work/gst_reopen_loop
cc -O1 -o "$loop" "$root/bench/gst_reopen_loop.c" \
  $(pkg-config --cflags --libs gstreamer-1.0 gstreamer-video-1.0 gstreamer-gl-1.0 gstreamer-gl-x11-1.0 x11)

# Reads "open rss_kb ..." lines and prints the summary row.
summary() {
  awk -v name="$1" -v n="$opens" '
    /^ *[0-9]+ +[0-9]+/ { rss[$1] = $2 / 1024 }
    END {
      half = int(n / 2)
      printf "%-34s", name
      split("1 10 20 30", at, " ")
      for (i = 1; i <= 4; i++) if (at[i] <= n) printf " %6.0f", rss[at[i]]
      printf " %6.0f   %+5.2f MB/open\n", rss[n], (rss[n] - rss[half]) / (n - half)
    }'
}

echo "resident memory (MB) after open:  1     10     20     30   last   growth over the second half"
for renderer in 2 1; do
  name=$([ $renderer = 2 ] && echo "OblenPlayer, OpenGL" || echo "OblenPlayer, X11")
  "$bench" "$file" "$opens" "$renderer" 2>/dev/null | summary "$name"
done
"$loop" "$file" "$opens" glimagesink 2>/dev/null | summary "bare loop, glimagesink"
"$loop" "$file" "$opens" glimagesink shared-display 2>/dev/null | summary "bare loop, glimagesink shared GL"
"$loop" "$file" "$opens" ximagesink 2>/dev/null | summary "bare loop, ximagesink"
