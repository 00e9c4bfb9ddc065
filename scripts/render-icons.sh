#!/usr/bin/env bash
# Renders each program's scalable icon into the fixed sizes desktops look
# for first (menus at 16-24, docks and the software centre at 48-256). The
# PNGs are committed, so building needs no SVG renderer; run this again after
# changing an SVG (needs rsvg-convert, Debian package librsvg2-bin).
set -euo pipefail
icons=$(cd "$(dirname "$0")/../data/icons" && pwd)
for svg in "$icons"/*.svg; do
  name=$(basename "$svg" .svg)
  for size in 16 22 24 32 48 64 128 256; do
    out="$icons/hicolor/${size}x${size}/apps/$name.png"
    mkdir -p "$(dirname "$out")"
    rsvg-convert -w "$size" -h "$size" "$svg" -o "$out"
  done
done
