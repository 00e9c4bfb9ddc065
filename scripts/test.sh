#!/usr/bin/env bash
# Install, build and run every test: first the Release build, then the same
# suite built with AddressSanitizer and UndefinedBehaviorSanitizer and a
# bounded run of the engine-output fuzz target (scripts/test-sanitized.sh;
# SANITIZERS=0 leaves that stage out). Tests that need a window get an Xvfb
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
(cd "$build" && ctest --output-on-failure --timeout 300 -j2 "$@")
echo "test: Release stage done after ${SECONDS}s"
if [ "${SANITIZERS:-1}" != 0 ]; then
  started=$SECONDS
  "$root/scripts/test-sanitized.sh" "$@"
  echo "test: sanitizer stage took $((SECONDS - started))s, ${SECONDS}s in all"
fi
