#!/usr/bin/env bash
# Runs a window test on an X display of its own, so that its full-screen
# windows and its pointer cover no other test's windows: a bare Xvfb, or with
# --openbox one managed by openbox (stacking, full screen, moving windows), or
# with --two-monitors a bare one whose screen is two monitors side by side.
#   own_display.sh [--openbox|--two-monitors] TEST [ARGUMENTS...]
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/scripts/xvfb.sh"
xvfb_pid=
openbox_pid=
cleanup() {
  [ -n "$openbox_pid" ] && kill "$openbox_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
if [ "${1:-}" = "--openbox" ]; then
  shift
  start_openbox 1600x900 || exit 1
elif [ "${1:-}" = "--two-monitors" ]; then
  shift
  start_own_xvfb 2880x900 || exit 1
  # The server's one output becomes the left monitor; the right one has none.
  xrandr --setmonitor left 1600/423x900/238+0+0 screen >/dev/null &&
    xrandr --setmonitor right 1280/338x720/190+1600+0 none >/dev/null || exit 1
else
  start_own_xvfb 1600x900 || exit 1
fi
"$@"
