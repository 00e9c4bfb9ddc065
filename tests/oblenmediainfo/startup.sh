#!/usr/bin/env bash
# The program as started from a shell and from its desktop entry: "/open" and
# a path with blanks describes that file at start-up (the window takes the
# file's name as its title); a path without the marker does nothing.
#
#   startup.sh <oblenmediainfo program> <desktop entry>
set -euo pipefail
program=${1:?program}
entry=${2:?desktop entry}
: "${DISPLAY:?needs a display}"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/폴더 하나"
media="$work/폴더 하나/x y 영상.mkv"
cp "${SAMPLE_MEDIA_DIR:?}/sample.mkv" "$media"

# Waits until the last program started shows a window with exactly this
# title; other tests may have windows on the same display.
expect_title() {
  local pid=${pids[-1]}
  for _ in $(seq 100); do
    for window in $(xdotool search --pid "$pid" --name . 2>/dev/null || true); do
      [ "$(xdotool getwindowname "$window" 2>/dev/null)" = "$1" ] && return 0
    done
    sleep 0.2
  done
  echo "no window titled '$1'" >&2
  cat "$work"/stderr.* >&2 2>/dev/null || true
  exit 1
}

# The shell form: the path is one argument after /open.
"$program" /open "$media" >/dev/null 2>"$work/stderr.1" &
pids+=($!)
expect_title "x y 영상.mkv - 파일 정보"

# The file was read by a describing process: the program itself never loaded
# the library. Killed, it takes that process with it.
helper=$(pgrep -P "${pids[-1]}" -f oblenmediainfo-describe || true)
[ -n "$helper" ] || { echo "no describing process" >&2; exit 1; }
if grep -q libmediainfo "/proc/${pids[-1]}/maps"; then
  echo "the program loaded libmediainfo itself" >&2; exit 1
fi
grep -q libmediainfo "/proc/$helper/maps" || { echo "the describing process has no library" >&2; exit 1; }
{ kill -9 "${pids[-1]}" && wait "${pids[-1]}"; } 2>/dev/null || true
for _ in $(seq 200); do kill -0 "$helper" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$helper" 2>/dev/null; then echo "describing process outlived the program" >&2; exit 1; fi

# The desktop entry's Exec line, with %f replaced as a launcher does.
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ "$exec_line" = "oblenmediainfo /open %f" ] || { echo "Exec is '$exec_line'" >&2; exit 1; }
read -r -a exec_words <<<"$exec_line"
arguments=()
for word in "${exec_words[@]:1}"; do
  if [ "$word" = "%f" ]; then arguments+=("$media"); else arguments+=("$word"); fi
done
"$program" "${arguments[@]}" >/dev/null 2>"$work/stderr.2" &
pids+=($!)
expect_title "x y 영상.mkv - 파일 정보"

# The whole command line as one argument.
"$program" "/open \"$media\"" >/dev/null 2>"$work/stderr.3" &
pids+=($!)
expect_title "x y 영상.mkv - 파일 정보"

# A double quote belongs to the file name, even with a file named like the
# part before the quote beside it.
cp "$media" "$work/dq"
cp "$media" "$work/dq\"uote.mkv"
"$program" /open "$work/dq\"uote.mkv" >/dev/null 2>"$work/stderr.5" &
pids+=($!)
expect_title 'dq"uote.mkv - 파일 정보'

# No marker: the window keeps its own title.
"$program" "$media" >/dev/null 2>"$work/stderr.4" &
pids+=($!)
expect_title "Oblen MediaInfo v1.0.3"
sleep 1
expect_title "Oblen MediaInfo v1.0.3"
echo "start-up command lines: ok"
