#!/usr/bin/env bash
# Installs the Debian 12 packages the suite builds, runs and tests with.
# Only what is missing is installed, so a second run does nothing.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  libpci-dev pciutils libblkid-dev libfontconfig-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  libmediainfo-dev libmediainfo0v5
  # the engine-output fuzz target: clang's libFuzzer and sanitizer runtimes
  clang-14 libclang-rt-14-dev
  # engines and codecs
  mplayer ffmpeg mediainfo
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  # the ASF (WMV, WMA) and RealMedia demuxers of OblenPlayer's supported files
  gstreamer1.0-plugins-ugly
  gstreamer1.0-libav gstreamer1.0-x gstreamer1.0-gl gstreamer1.0-tools
  gstreamer1.0-plugins-base-apps
  # the desktop's media controls (MPRIS): a private session bus and a client
  # for the tests
  dbus playerctl
  # fonts: Korean captions and the default subtitle font
  fonts-nanum fontconfig
  # a display for the tests, and the tools to look at it
  xvfb xauth x11-utils xdotool imagemagick libxcb-cursor0
  # a window manager for the tests of stacking, full screen and dragging
  openbox wmctrl libxfixes-dev
  # xrandr: a display of two monitors for the full-screen test
  x11-xserver-utils
  # Qt's own dialogs in Korean (OblenMediaInfo's open dialog)
  qt6-translations-l10n
  # checking the installed desktop entries and AppStream metadata; the
  # Debian package's library dependencies (dpkg-shlibdeps)
  desktop-file-utils appstream dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "deps: everything is installed"
  exit 0
fi

echo "deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
