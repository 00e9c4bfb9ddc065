#!/usr/bin/env bash
# First run on a fresh machine: install, build, make the samples and play one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
exec "$root/build/tavrin/tavrin" /open "$root/build/media/sample.mkv"
