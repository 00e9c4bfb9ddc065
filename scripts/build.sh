#!/usr/bin/env bash
# Configures (once) and builds the whole suite into ./build (BUILD_DIR), in
# Release unless the arguments, which go to the configure step, say otherwise;
# then makes the sample media under build/media.
#
#   build.sh [cmake options for the first configure]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
# build.ninja, not CMakeCache.txt: a configure that failed leaves a cache but
# no build file, and the next run must configure again.
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
fi
cmake --build "$build" --parallel "$(nproc)"
