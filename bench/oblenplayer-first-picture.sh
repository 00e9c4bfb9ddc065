#!/usr/bin/env bash
# OblenPlayer beside gst-play-1.0 on one Xvfb and one 640x360 H.264/AAC clip:
#  1. exec -> first picture on the screen, for "oblenplayer /open CLIP" with
#     its default renderer (OpenGL) and with the X11 one, and for
#     gst-play-1.0 with its own choice of sink, with glimagesink and with
#     ximagesink. A small X client (first_picture.c) starts each program and
#     reads the screen every 5 ms until the clip's colours show; no log line
#     is trusted.
#  2. resident memory while playing (after SETTLE seconds), split into what
#     the program allocated (anonymous) and the pages of Qt's libraries and
#     fonts it has mapped, with the number of threads and of GStreamer
#     plugin libraries mapped, for the same five.
# The programs take turns within a round and the rounds repeat (interleaved),
# so a busy spell of the machine hits all of them; the figures are medians
# with the range beside them. Prints figures only; never fails on them.
#
#   bench/oblenplayer-first-picture.sh [build folder]
#
# ROUNDS (7) first-picture rounds, MEMORY_ROUNDS (3) memory rounds, SETTLE
# (3) seconds of playback before memory is read. BASE=path/to/another/oblenplayer
# adds that build (both renderers) to the same rounds. NICE=-10 (as root)
# runs the display and every program above the machine's other jobs.
set -euo pipefail
if [ -n "${NICE:-}" ] && [ -z "${BENCH_OWN_SESSION:-}" ]; then
  BENCH_OWN_SESSION=1 exec setsid --wait "$0" "$@"
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
player=$build/oblenplayer/oblenplayer
[ -x "$player" ] || { echo "build OblenPlayer first ($player)" >&2; exit 1; }
command -v gst-play-1.0 >/dev/null ||
  { echo "gst-play-1.0 missing (gstreamer1.0-plugins-base-apps)" >&2; exit 1; }
work=$(mktemp -d)
xvfb_pid=
trap 'kill $xvfb_pid 2>/dev/null || true; rm -rf "$work"' EXIT

# A portable install per renderer: the settings file beside the program
# chooses it, and no run changes another's choice.
install_player() { # binary folder renderer-index
  mkdir -p "$2"
  cp "$1" "$2/oblenplayer"
  {
    echo "[PROGRAM SETTING]"
    for i in 0 1 2 3; do
      [ "$i" = "$3" ] && v=True || v=False
      echo "렌더러선택$i=$v"
      echo "영상렌더러장치메뉴$i=$v"
    done
  } > "$2/qzconfig.ini"
}
install_player "$player" "$work/gl" 2
install_player "$player" "$work/x11" 1
if [ -n "${BASE:-}" ]; then
  install_player "$BASE" "$work/base-gl" 2
  install_player "$BASE" "$work/base-x11" 1
fi

. "$root/bench/first-picture-setup.sh"
first_picture_setup 180

python3 - "$work" "${ROUNDS:-7}" "${MEMORY_ROUNDS:-3}" "${SETTLE:-3}" "${BASE:+1}" <<'PY'
import os, signal, statistics, subprocess, sys, time

work, rounds, memory_rounds, settle, base = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4]), sys.argv[5] == "1"
clip = os.path.join(work, "clip.mkv")
players = [
    ("oblenplayer /open (OpenGL, default)", [f"{work}/gl/oblenplayer", "/open", clip], "gst-play glimagesink"),
    ("oblenplayer /open (X11)", [f"{work}/x11/oblenplayer", "/open", clip], "gst-play ximagesink"),
]
if base:
    players += [
        ("BASE oblenplayer (OpenGL)", [f"{work}/base-gl/oblenplayer", "/open", clip], "gst-play glimagesink"),
        ("BASE oblenplayer (X11)", [f"{work}/base-x11/oblenplayer", "/open", clip], "gst-play ximagesink"),
    ]
players += [
    ("gst-play (its own sink)", ["gst-play-1.0", "--no-interactive", clip], None),
    ("gst-play glimagesink", ["gst-play-1.0", "--no-interactive", "--videosink=glimagesink", clip], None),
    ("gst-play ximagesink", ["gst-play-1.0", "--no-interactive", "--videosink=ximagesink", clip], None),
]

def spread(values):
    values = [v for v in values if v is not None]
    if not values:
        return None, None, None
    return statistics.median(values), min(values), max(values)

def first_picture(command):
    out = subprocess.run([f"{work}/first_picture", "--"] + command, stdin=subprocess.DEVNULL,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout.split()
    if len(out) != 2:
        return None, None
    mapped, picture = (float(v) for v in out)
    return (mapped if mapped >= 0 else None), (picture if picture >= 0 else None)

def playing_memory(command):
    proc = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        time.sleep(settle)
        with open(f"/proc/{proc.pid}/status") as f:
            status = dict(line.split(":", 1) for line in f if ":" in line)
        rss = int(status["VmRSS"].split()[0]) / 1024
        anonymous = int(status["RssAnon"].split()[0]) / 1024
        threads = int(status["Threads"])
        # The read-only pages of Qt's libraries and of the fonts, resident
        # in any Qt program that draws text.
        qt_and_fonts, path = 0, ""
        with open(f"/proc/{proc.pid}/smaps") as f:
            for line in f:
                fields = line.split()
                if "-" in fields[0] and not fields[0].endswith(":"):
                    path = fields[5] if len(fields) > 5 else ""
                elif fields[0] == "Rss:" and ("/libQt6" in path or path.endswith((".ttf", ".otf"))):
                    qt_and_fonts += int(fields[1])
        with open(f"/proc/{proc.pid}/maps") as f:
            plugins = {line.split()[-1] for line in f if "/gstreamer-1.0/" in line}
        return rss, anonymous, qt_and_fonts / 1024, threads, len(plugins)
    except (OSError, KeyError, ValueError, IndexError):
        return None, None, None, None, None
    finally:
        os.killpg(proc.pid, signal.SIGTERM)
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()

pictures = {name: [] for name, _, _ in players}
mapped = {name: [] for name, _, _ in players}
for name, command, _ in players:  # warm-up (page cache, registry), not counted
    first_picture(command)
for _ in range(rounds):
    for name, command, _ in players:
        m, p = first_picture(command)
        mapped[name].append(m)
        pictures[name].append(p)

def fmt(v, pattern="%d"):
    return "-" if v is None else pattern % v

print(f"exec -> first picture ({rounds} rounds)        median        range   window seen   vs peer")
for name, _, peer in players:
    m, lo, hi = spread(pictures[name])
    w, _, _ = spread(mapped[name])
    ref = spread(pictures[peer])[0] if peer else None
    ratio = f"{m / ref:5.2f}x {peer}" if m and ref else ""
    runs = " ".join(fmt(v) for v in pictures[name])
    print(f"{name:<40} {fmt(m):>6} ms {fmt(lo):>5}-{fmt(hi):<5} ms {fmt(w):>6} ms   {ratio}  [{runs}]")

rss = {name: [] for name, _, _ in players}
anonymous = {name: [] for name, _, _ in players}
qt_fonts = {name: [] for name, _, _ in players}
threads = {name: [] for name, _, _ in players}
plugins = {name: [] for name, _, _ in players}
for _ in range(memory_rounds):
    for name, command, _ in players:
        r, a, q, t, p = playing_memory(command)
        rss[name].append(r)
        anonymous[name].append(a)
        qt_fonts[name].append(q)
        threads[name].append(t)
        plugins[name].append(p)

# anonymous: the memory the program itself allocated (heap, stacks, the
# driver's buffers); Qt+fonts: the resident pages of Qt's libraries and of
# font files, read-only and shared with every other Qt program.
print(f"\nwhile playing, after {settle:g} s ({memory_rounds} rounds)   RSS MiB median (range)   anonymous   Qt+fonts   threads   plugin .so   vs peer (RSS; anonymous)")
for name, _, peer in players:
    m, lo, hi = spread(rss[name])
    a = spread(anonymous[name])[0]
    ref = spread(rss[peer])[0] if peer else None
    ref_a = spread(anonymous[peer])[0] if peer else None
    ratio = f"{m / ref:5.2f}x; {a / ref_a:4.2f}x {peer}" if m and ref and a and ref_a else ""
    q = spread(qt_fonts[name])[0]
    t = spread(threads[name])[0]
    p = spread(plugins[name])[0]
    print(f"{name:<40} {fmt(m, '%6.1f')} ({fmt(lo, '%.1f')}-{fmt(hi, '%.1f')})   {fmt(a, '%9.1f')}   {fmt(q, '%8.1f')}   {fmt(t):>7}   {fmt(p):>10}   {ratio}")
PY
