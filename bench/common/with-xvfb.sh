#!/usr/bin/env bash
# Runs a command under a private Xvfb (1600 x 1000, 24-bit, black root) and stops
# that server afterwards. Usage: with-xvfb.sh COMMAND [ARGS...]
set -euo pipefail

display=""
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "with-xvfb: no free display" >&2; exit 1; }

runtime_dir=$(mktemp -d)
export XDG_RUNTIME_DIR="$runtime_dir"
Xvfb "$display" -screen 0 1600x1000x24 -br -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$runtime_dir"
}
trap cleanup EXIT

for _ in $(seq 100); do
  DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break
  sleep 0.05
done
DISPLAY="$display" xdpyinfo >/dev/null 2>&1 || { echo "with-xvfb: Xvfb did not start" >&2; exit 1; }

export DISPLAY="$display"
export QT_QPA_PLATFORM=xcb
"$@"
