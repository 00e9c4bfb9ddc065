#!/usr/bin/env bash
# The suite installed into a prefix nobody may write, as under /usr: each
# program runs from there, finds what it needs (Tavrin its engine, Oblen
# MediaInfo its describing helper under libexec), shows a window with its own
# icon tied to its desktop entry, and writes only into the user's folders
# (XDG_DATA_HOME and friends), never into the prefix. Run as root, the
# read-only bits do not stop a write, so the prefix is compared before and
# after as well.
#
#   run-readonly.sh <build folder> <sample medium>
set -euo pipefail
build=${1:?build folder}
sample=${2:?sample medium}
: "${DISPLAY:?needs a display}"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
prefix=$work/usr
cmake --install "$build" --prefix "$prefix" >/dev/null
chmod -R a-w "$prefix"
listing() { (cd "$prefix" && find . -printf '%p %s %T@\n' | sort); }
listing >"$work/before"

export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data \
       XDG_CACHE_HOME=$work/home/cache
mkdir -p "$HOME"
media=$work/영상.mkv
cp "$sample" "$media"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

wait_for() { # seconds, then a command that succeeds once the step is done
  local tenths=$(($1 * 10)); shift
  for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done
  return 1
}
visible_window() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -1; }
has_window() { [ -n "$(visible_window "$1")" ]; }
child_running() { # parent pid, executable path
  local child
  for child in $(pgrep -P "$1"); do
    [ "$(readlink -f "/proc/$child/exe" 2>/dev/null)" = "$(readlink -f "$2")" ] && return 0
  done
  return 1
}

# The window carries the program's icon, and the class that its desktop
# entry's StartupWMClass names, by which X11 desktops match the two.
check_window() { # pid, program
  local window icon class wm_class
  window=$(visible_window "$1")
  icon=$(xprop -id "$window" _NET_WM_ICON 2>/dev/null || true)
  [[ $icon == "_NET_WM_ICON(CARDINAL) = "* ]] || fail "$2: its window has no icon"
  class=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/$2.desktop")
  wm_class=$(xprop -id "$window" WM_CLASS 2>/dev/null || true)
  [[ $wm_class == *", \"$class\"" ]] || fail "$2: the window's class is not $class: $wm_class"
}

start() { # program, arguments
  "$prefix/bin/$1" "${@:2}" >"$work/$1.log" 2>&1 &
  pids+=($!)
  wait_for 30 has_window "${pids[-1]}" || { fail "$1 shows no window"; cat "$work/$1.log"; return 1; }
  check_window "${pids[-1]}" "$1"
}

stop() { # pid
  kill "$1" 2>/dev/null || true
  wait_for 20 eval "! kill -0 $1 2>/dev/null" || kill -9 "$1" 2>/dev/null || true
}

# Tavrin: the engine plays the medium, with the subtitle style file it is
# given in the user's data folder; the file goes again when Tavrin ends.
style=$XDG_DATA_HOME/Tavrin/setting/subtitle.ass
if start tavrin /open "$media"; then
  wait_for 30 child_running "${pids[-1]}" "$(command -v mplayer)" || fail "tavrin started no engine"
  wait_for 30 test -s "$style" || fail "tavrin wrote no $style"
  stop "${pids[-1]}"
  [ ! -e "$style" ] || fail "tavrin left $style behind"
fi

# OblenPlayer: a first run writes its default settings.
settings=$XDG_DATA_HOME/OblenPlayer/qzconfig.ini
if start oblenplayer /open "$media"; then
  wait_for 30 grep -qs 'PROGRAM SETTING' "$settings" || fail "oblenplayer wrote no $settings"
  stop "${pids[-1]}"
fi

# Oblen MediaInfo describes files in its helper from libexec.
if start oblenmediainfo /open "$media"; then
  wait_for 30 child_running "${pids[-1]}" \
    "$prefix/libexec/oblenmediainfo/oblenmediainfo-describe" ||
    fail "oblenmediainfo runs no describing helper from libexec"
  stop "${pids[-1]}"
fi

listing >"$work/after"
diff "$work/before" "$work/after" >/dev/null ||
  fail "the programs changed the installed tree: $(diff "$work/before" "$work/after")"

[ "$failures" -eq 0 ] && echo "read-only install: all checks passed"
exit $((failures > 0))
