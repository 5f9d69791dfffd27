#!/usr/bin/env bash
# Installs the Debian packages that building and running the simulator needs;
# with --tests, also those that only the tests need. Does nothing when they
# are all present.
#
# Usage: tools/install-deps.sh [--tests]
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config
  # windowing toolkit (Widgets, Gui, Test; xcb and offscreen platforms; fonts)
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev libfontconfig-dev
  # pictures and sound
  libjpeg-dev libsdl2-dev
  # X11 helpers used by the window (key repeat settings, shape)
  libx11-dev libxext-dev
  # fonts, so the picture generator and the launcher render text
  fonts-dejavu-core fonts-dejavu-extra fonts-liberation2
)
test_packages=(
  # unit tests
  googletest libgtest-dev
  # end-to-end tests: a virtual X server and tools to drive and read it
  python3 xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick
  # the suite on a busy machine: two processes that keep the cores busy
  stress-ng
  # fuzzing the readers of the SOUND folder and the outline (fuzz/run.sh)
  clang libclang-rt-14-dev
)

case "${1:-}" in
  "") ;;
  --tests) packages+=("${test_packages[@]}") ;;
  *) echo "usage: $0 [--tests]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
