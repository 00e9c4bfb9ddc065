#!/usr/bin/env bash
# Builds the engine-output fuzz target with clang's libFuzzer, ASan and UBSan
# into ./build-fuzz and runs it for a bounded time (FUZZ_SECONDS, default 60),
# seeded with the recorded real MPlayer runs and the regression inputs.
# An input that fails is left in build-fuzz/artifacts/; add it to
# tests/tavrin/fuzz/regressions/ so that every build replays it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fuzz=$root/tests/tavrin/fuzz
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=None
fi
cmake --build "$build" --parallel "$(nproc)"

# The seeds: each recorded run as read 1, 257 and 4081 bytes at a time (the
# first byte of an input sets the read size), and the regressions.
corpus=$build/corpus
mkdir -p "$corpus" "$build/artifacts"
for out in "$root"/tests/tavrin/data/*.out; do
  for size in '\x00' '\x10' '\xff'; do
    { printf "$size"; cat "$out"; } > "$corpus/seed-$(basename "$out" .out)-${size#\\x}"
  done
done
cp "$fuzz"/regressions/* "$corpus/"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The run's own log is long (a line per new input); it is shown whole only
# when the run fails.
log=$build/fuzz.log
if ! "$build/fuzz_engineoutput" -max_total_time="${FUZZ_SECONDS:-60}" -max_len=8192 \
  -dict="$fuzz/engineoutput.dict" -artifact_prefix="$build/artifacts/" \
  -print_final_stats=1 "$corpus" > "$log" 2>&1; then
  cat "$log"
  echo "fuzz: failed; the input is in $build/artifacts/" >&2
  exit 1
fi
echo "fuzz: $(grep -E '^Done [0-9]+ runs' "$log"), no failure"
