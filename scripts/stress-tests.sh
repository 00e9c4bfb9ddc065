#!/usr/bin/env bash
# Runs chosen tests again and again while busy loops take every processor, and
# prints how many runs of each passed: the proof that a test waits for what it
# needs and not for a time.
#
#   stress-tests.sh [-n ROUNDS] [-b BUSY_LOOPS] REGEX...
#
# REGEX is a CTest name pattern (ctest -R); each round runs every pattern once,
# one after another. ROUNDS defaults to 5, BUSY_LOOPS to the processor count.
# The build is the Release one in ./build (BUILD_DIR); build it first with
# scripts/build.sh. Logs of failed runs are kept under $BUILD_DIR/stress-logs.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
rounds=5
busy=$(nproc)
while getopts "n:b:" option; do
  case $option in
    n) rounds=$OPTARG ;;
    b) busy=$OPTARG ;;
    *) echo "usage: $0 [-n ROUNDS] [-b BUSY_LOOPS] REGEX..." >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
if [ $# -eq 0 ]; then
  echo "usage: $0 [-n ROUNDS] [-b BUSY_LOOPS] REGEX..." >&2
  exit 2
fi
if [ ! -f "$build/CTestTestfile.cmake" ]; then
  echo "no build in $build: run scripts/build.sh first" >&2
  exit 2
fi

. "$root/scripts/xvfb.sh"
xvfb_pid=
loops=()
cleanup() {
  for p in "${loops[@]}"; do kill "$p" 2>/dev/null; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
trap "exit 130" INT TERM
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb 91 2560x1440 || exit 1
fi

for _ in $(seq "$busy"); do
  (while :; do :; done) &
  loops+=($!)
done
echo "stress: $rounds rounds of $*, $busy busy loops on $(nproc) processors"

logs=$build/stress-logs
mkdir -p "$logs"
declare -A passed
failures=0
for round in $(seq "$rounds"); do
  for pattern in "$@"; do
    log=$logs/round$round-${pattern//[^A-Za-z0-9_]/_}.log
    if (cd "$build" && ctest -R "$pattern" --output-on-failure --timeout 600) >"$log" 2>&1; then
      passed[$pattern]=$(( ${passed[$pattern]:-0} + 1 ))
      rm -f "$log"
      echo "round $round: $pattern passed"
    else
      failures=$((failures + 1))
      echo "round $round: $pattern FAILED (log: $log)"
      grep -E '^(FAIL!|   Loc:|[0-9]+% tests passed)|Failed|\*\*\*' "$log" | head -n 20
    fi
  done
done

echo "stress: results after $rounds rounds"
for pattern in "$@"; do
  echo "  $pattern: ${passed[$pattern]:-0}/$rounds passed"
done
[ "$failures" -eq 0 ]
