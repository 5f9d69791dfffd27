#!/usr/bin/env bash
# Installs the Debian packages that building and running the simulator needs;
# with --package, also those that making its Debian package needs; with
# --tests, those and the ones only the tests need (with the browser test's
# npm packages and the Windows build's tests, which run under wine); with
# --web, those that building the browser front end's site needs; with
# --windows, those that cross-building the Windows program and its packages
# needs. Does nothing when they are all present.
#
# Usage: tools/install-deps.sh [--package | --tests] [--web] [--windows]
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
windows_packages=(
  cmake ninja-build
  # the cross compiler, posix threads flavour (std::thread and std::mutex),
  # and the resource compiler
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  # the installer
  nsis
)
windows_test_packages=(
  # GoogleTest's sources, built for Windows with the tests
  googletest
  # the tests run under wine (64-bit), with the X features its display
  # driver loads when it finds them
  wine wine64 libxrender1 libxrandr2 libxi6 libxcursor1 libxfixes3 libxinerama1 libxcomposite1
  # windows need an X server; the end-to-end tests drive and read it
  python3 xvfb x11-utils xdotool imagemagick
  # the sound outputs are heard through a private PulseAudio server
  pulseaudio pulseaudio-utils
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

web_packages=(
  # the browser front end: Debian's emscripten (and the node it runs on),
  # CMake and Ninja, and GoogleTest's sources for the core's tests under node
  emscripten nodejs cmake ninja-build googletest
)
browser_test_packages=(
  # the site in a browser, driven by playwright-core from npm (tests/web)
  chromium nodejs
)

web=0 windows=0 tests=0
for option in "$@"; do
  case "$option" in
    --package) packages+=("${package_packages[@]}") ;;
    --tests) tests=1; packages+=("${package_packages[@]}" "${test_packages[@]}" "${browser_test_packages[@]}"
                                 "${windows_packages[@]}" "${windows_test_packages[@]}") ;;
    --web) web=1 ;;
    --windows) windows=1 ;;
    *) echo "usage: $0 [--package | --tests] [--web] [--windows]" >&2; exit 2 ;;
  esac
done
if [ "$web" = 1 ] && [ "$tests" = 0 ] && [ $# -eq 1 ]; then
  packages=("${web_packages[@]}")  # the site alone needs no toolkit
elif [ "$web" = 1 ]; then
  packages+=("${web_packages[@]}")
fi
if [ "$windows" = 1 ] && [ $# -eq 1 ]; then
  packages=("${windows_packages[@]}")  # the Windows program needs no Linux toolkit
elif [ "$windows" = 1 ]; then
  packages+=("${windows_packages[@]}")
fi
# npm comes with some builds of nodejs; Debian's own nodejs has it apart.
if [ "$tests" = 1 ] && ! command -v npm >/dev/null; then
  packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The browser test's packages, exactly as locked in tests/web.
if [ "$tests" = 1 ]; then
  web_tests="$(cd "$(dirname "$0")/.." && pwd)/tests/web"
  stamp="$web_tests/node_modules/.installed-from-lock"
  if ! cmp -s "$web_tests/package-lock.json" "$stamp" 2>/dev/null; then
    (cd "$web_tests" && npm ci --no-audit --no-fund --loglevel=error)
    cp "$web_tests/package-lock.json" "$stamp"
  fi
fi
