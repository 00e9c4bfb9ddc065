#!/usr/bin/env bash
# The sanitizer stage of the test command: builds the whole suite with
# AddressSanitizer and UndefinedBehaviorSanitizer into ./build-asan
# (SANITIZE_BUILD_DIR), runs the engine-output fuzz target for a bounded time
# (scripts/fuzz.sh), then every test of the sanitized build. Expects the Release build
# to exist (its sample media are shared) and a display in DISPLAY.
#
#   test-sanitized.sh [ctest options]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
release=${BUILD_DIR:-$root/build}
build=${SANITIZE_BUILD_DIR:-$root/build-asan}

# -O1 keeps the stacks readable and the tests quick enough; -g for the reports.
BUILD_DIR=$build "$root/scripts/build.sh" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DOBLEN_SANITIZE=ON \
  -DSAMPLE_MEDIA_DIR="$release/media"

. "$root/tests/sanitizers/environment.sh"
"$root/scripts/fuzz.sh"
(cd "$build" && ctest --output-on-failure --timeout 600 -j2 "$@")
