# Sourced by the first-picture benches, after they set root and work (a
# scratch folder) and trap the clean-up of xvfb_pid:
#   first_picture_setup FIRST_DISPLAY
# builds the screen poller (first_picture.c) into $work, makes the 30 s
# 640x360 H.264/AAC clip $work/clip.mkv, starts an Xvfb with a grey root (so
# that a black window shows when it maps: "window seen"), raises the display
# and the bench when NICE is set, and gives the players a fresh home.
first_picture_setup() {
  cc -O2 -o "$work/first_picture" "$root/bench/first_picture.c" -lX11 -lXext
  ffmpeg -hide_banner -loglevel error -nostdin -y \
    -f lavfi -i "testsrc2=size=640x360:rate=25:duration=30" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=30" \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac "$work/clip.mkv"
  . "$root/scripts/xvfb.sh"
  start_xvfb "$1" 1600x900
  xsetroot -solid '#405060'
  if [ -n "${NICE:-}" ]; then
    renice -n "$NICE" -p $$ "$xvfb_pid" >/dev/null
    # With autogroup scheduling a nice value counts only inside its session:
    # the session's own weight is what sets it against the others' jobs.
    echo "$NICE" > /proc/$$/autogroup 2>/dev/null || true
  fi
  # Players keep their settings in the user's folders: give them fresh ones.
  export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
  mkdir -p "$XDG_CONFIG_HOME"
}
