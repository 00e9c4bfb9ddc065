#!/usr/bin/env bash
# Install, build and run every test. Tests that need a window get an Xvfb
# display of their own when none is given.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}

. "$root/scripts/xvfb.sh"
xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb 91 2560x1440
fi
cd "$build"
ctest --output-on-failure --timeout 300 -j2 "$@"
