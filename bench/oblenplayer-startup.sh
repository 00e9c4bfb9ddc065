#!/usr/bin/env bash
# Time from starting OblenPlayer with "/open" to its graph playing, next to
# gst-play-1.0 on the same file. "Playing" is the moment GStreamer reports the
# top-level pipeline's change to PLAYING (GST_STATES debug log), measured in
# wall time from the start of the process. Prints the median of several runs.
#
#   bench/oblenplayer-startup.sh [media file] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
file=${1:-$build/media/sample.mkv}
runs=${2:-7}
player=$build/oblenplayer/oblenplayer
[ -x "$player" ] || { echo "build OblenPlayer first ($player)" >&2; exit 1; }
[ -s "$file" ] || { echo "no media file $file (run the build: it makes the samples)" >&2; exit 1; }
command -v gst-play-1.0 >/dev/null || { echo "gst-play-1.0 missing (gstreamer1.0-plugins-base-apps)" >&2; exit 1; }

. "$root/scripts/xvfb.sh"
xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb 140 1280x800
fi

python3 - "$player" "$file" "$runs" <<'PY'
import os, re, signal, statistics, subprocess, sys, time

player, media, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
env = dict(os.environ, GST_DEBUG="GST_STATES:4", GST_DEBUG_NO_COLOR="1")

def time_to_playing(command, pipeline):
    pattern = re.compile(r"<%s> completed state change to PLAYING" % re.escape(pipeline))
    start = time.perf_counter()
    proc = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True, errors="replace")
    elapsed = None
    try:
        deadline = start + 20
        for line in proc.stderr:
            if pattern.search(line):
                elapsed = time.perf_counter() - start
                break
            if time.perf_counter() > deadline:
                break
    finally:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
    return elapsed

def bench(name, command, pipeline):
    times = [time_to_playing(command, pipeline) for _ in range(runs)]
    good = [t for t in times if t is not None]
    if not good:
        print(f"{name:<34} never reached PLAYING")
        return
    print(f"{name:<34} median {statistics.median(good) * 1000:7.1f} ms"
          f"   min {min(good) * 1000:7.1f}   max {max(good) * 1000:7.1f}"
          f"   ({len(good)}/{runs} runs)")

print(f"start to playing: {media}")
bench("oblenplayer /open (OpenGL)", [player, "/open", media], "pipeline0")
bench("gst-play-1.0 --no-interactive", ["gst-play-1.0", "--no-interactive", media], "playbin")
PY
