# Sourced by the test and bench scripts: start_xvfb FIRST SIZE starts an Xvfb
# on the first free display number from FIRST, with a screen of SIZE
# ("1280x800"), waits until it accepts clients, exports DISPLAY and leaves its
# process id in xvfb_pid for the caller's clean-up.
start_xvfb() {
  local first=$1 size=$2 n
  for n in $(seq "$first" $((first + 40))); do
    if [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; then continue; fi
    # -noreset: by default the server resets whenever its last client leaves,
    # and a program that connects during the reset cannot open the display
    # (Qt then aborts at start-up); tests start and end programs all the time.
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n"
    no_key_repeat
    return 0
  done
  echo "no free display number from :$first" >&2
  return 1
}

# The tests type with xdotool: a key held a little longer on a loaded machine
# must not become a second key press of the server's auto-repeat.
no_key_repeat() {
  local _
  for _ in $(seq 50); do xset r off 2>/dev/null && return 0; sleep 0.1; done
  echo "could not turn key repeat off on $DISPLAY" >&2
}

# start_own_xvfb SIZE: an Xvfb on a display number that the server itself
# picks (-displayfd): tests that start at the same moment cannot both take the
# same free number. Returns once it accepts clients, exports DISPLAY and
# leaves its process id in xvfb_pid.
start_own_xvfb() {
  local size=$1 numbers
  numbers=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$numbers" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 200); do
    if grep -q '^[0-9][0-9]*$' "$numbers"; then
      export DISPLAY=":$(head -n 1 "$numbers")"
      rm -f "$numbers"
      no_key_repeat
      return 0
    fi
    sleep 0.05
  done
  rm -f "$numbers"
  echo "Xvfb did not start" >&2
  return 1
}

# start_openbox SIZE: a display of its own as start_own_xvfb gives, with the
# openbox window manager on it (for what only a window manager does: stacking
# on top, full screen, moving a window). Waits until openbox manages the
# display and leaves its process id in openbox_pid.
start_openbox() {
  start_own_xvfb "$1" || return 1
  openbox --sm-disable >/dev/null 2>&1 &
  openbox_pid=$!
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  echo "openbox did not start on $DISPLAY" >&2
  return 1
}
