#!/usr/bin/env bash
# Installs the suite into a fresh prefix and checks what the desktop reads
# from it: the programs and the describing helper, one valid desktop entry
# per program, the icon each entry names in every size, and AppStream
# metadata that validates, names the entry, carries Korean and English texts
# and lists this version as its newest release.
#
#   check-tree.sh <build folder> <version>
set -euo pipefail
build=${1:?build folder}
version=${2:?version}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for program in bin/tavrin bin/oblenplayer bin/oblenmediainfo \
               libexec/oblenmediainfo/oblenmediainfo-describe; do
  [ -x "$prefix/$program" ] || fail "$program is not installed"
done

# Width and height from a PNG's header (IHDR, bytes 16 to 23).
png_size() {
  local w h
  read -r w h < <(od -An -tu1 -j16 -N8 "$1" |
    awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  echo "${w}x${h}"
}

check_icon() { # name
  local icons=$prefix/share/icons/hicolor
  grep -q '<svg' "$icons/scalable/apps/$1.svg" 2>/dev/null || fail "no scalable icon $1"
  for size in 16 22 24 32 48 64 128 256; do
    local png=$icons/${size}x${size}/apps/$1.png
    if [ ! -f "$png" ]; then fail "no ${size}px icon $1"; continue; fi
    [ "$(png_size "$png")" = "${size}x${size}" ] || fail "$png is $(png_size "$png")"
  done
}

for program in tavrin oblenplayer oblenmediainfo; do
  entry=$prefix/share/applications/$program.desktop
  if [ ! -f "$entry" ]; then fail "no desktop entry $program"; continue; fi
  # Hints are advice; errors and warnings are not.
  report=$(desktop-file-validate "$entry" 2>&1) || fail "$entry: $report"
  if grep -Eq 'error:|warning:' <<<"$report"; then fail "$entry: $report"; fi
  for key in 'Name=' 'Name\[ko\]=' 'Comment=' 'Comment\[ko\]=' 'Categories=AudioVideo;' \
             'MimeType=video/' "Exec=$program " "Icon=$program\$"; do
    grep -q "^$key" "$entry" || fail "$entry has no $key"
  done
  check_icon "$(sed -n 's/^Icon=//p' "$entry")"

  metainfo=$prefix/share/metainfo/org.example.oblen.$program.metainfo.xml
  if [ ! -f "$metainfo" ]; then fail "no metainfo $program"; continue; fi
  report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "$metainfo: $report"
  grep -q "<launchable type=\"desktop-id\">$program.desktop</launchable>" "$metainfo" ||
    fail "$metainfo does not launch $program.desktop"
  grep -q "<icon type=\"stock\">$program</icon>" "$metainfo" || fail "$metainfo names another icon"
  for tag in '<name>' '<name xml:lang="ko">' '<summary>' '<summary xml:lang="ko">' \
             '<p>' '<p xml:lang="ko">' '<content_rating type="oars-1.1"' '<image>https://'; do
    grep -qF "$tag" "$metainfo" || fail "$metainfo has no $tag"
  done
  newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f2)
  [ "$newest" = "$version" ] || fail "$metainfo: newest release $newest, the suite is $version"
  # The screenshot the metadata shows is a file of the repository.
  shot=$(grep -o '/data/screenshots/[^<]*' "$metainfo" | head -1)
  [ -f "$(dirname "$0")/../..$shot" ] || fail "$metainfo shows $shot, which the repository lacks"
done

[ "$failures" -eq 0 ] && echo "install tree: all checks passed"
exit $((failures > 0))
