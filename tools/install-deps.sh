#!/usr/bin/env bash
# Installs the Debian packages that building and running the simulator needs;
# with --package, also those that making its Debian package needs; with
# --tests, those and the ones only the tests need. Does nothing when they are
# all present.
#
# Usage: tools/install-deps.sh [--package | --tests]
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config
  # windowing toolkit (Widgets, Gui, Test; xcb and offscreen platforms; fonts)
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev libfontconfig-dev
  # sound (the colour pictures are JPEG, read by the toolkit's own reader)
  libsdl2-dev
  # X11, read by the window for the desktop's key repeat settings
  libx11-dev
  # Wayland sessions: the toolkit's Wayland platform, so that the program runs
  # natively there
  qt6-wayland
  # fonts, so the picture generator and the launcher render text
  fonts-dejavu-core fonts-dejavu-extra fonts-liberation2
)
package_packages=(
  # cpack -G DEB: dependencies read from the binaries (dpkg-shlibdeps, file)
  dpkg-dev file
)
test_packages=(
  # unit tests; sox, the reference the sound conversion is measured against
  googletest libgtest-dev sox
  # end-to-end tests: a virtual X server and tools to drive and read it
  python3 xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick
  # the Debian package's test: validators of the desktop entry and metadata
  desktop-file-utils appstream
  # other desktops: a Wayland compositor and two X window managers
  weston openbox mutter dbus-daemon
  # the suite on a busy machine: two processes that keep the cores busy
  stress-ng
  # fuzzing the readers of the SOUND folder and the outline (fuzz/run.sh)
  clang libclang-rt-14-dev
)

case "${1:-}" in
  "") ;;
  --package) packages+=("${package_packages[@]}") ;;
  --tests) packages+=("${package_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [--package | --tests]" >&2; exit 2 ;;
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
