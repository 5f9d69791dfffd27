#!/usr/bin/env bash
# Runs a command (ctest, a test script, a program) in a wine session of its
# own: a fresh wine prefix, wine's services started once with their output
# going nowhere (they would otherwise hold the output pipe of whatever
# started them, and ctest would wait for it forever), and a wine server kept
# up for the whole command, then ended and the prefix removed.
#   wine-session.sh [--xvfb] ctest --test-dir build-windows -j2
# --xvfb starts a private X server for the session (windows need a display;
# without one wine cannot shape them). Sound goes to PULSE_SERVER when a
# program is given one.
set -euo pipefail
xvfb=0
if [ "${1:-}" = "--xvfb" ]; then
  xvfb=1
  shift
fi
if [ $# -eq 0 ]; then
  echo "usage: $0 [--xvfb] command [arguments]" >&2
  exit 2
fi
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/vorlak-wine.XXXXXX")
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}   # also keeps the wrapper's wine32 hint quiet
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}  # no Mono or Gecko set-up
export WINEARCH=win64
export VORLAK_WINE_SESSION=1
xvfb_pid=""
finish() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$WINEPREFIX" "$WINEPREFIX.display"
}
trap finish EXIT
if [ "$xvfb" = 1 ]; then
  # The server writes the display number it took once it is ready.
  display_file="$WINEPREFIX.display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
  done
  if [ ! -s "$display_file" ]; then
    echo "wine-session: Xvfb did not start" >&2
    exit 1
  fi
  export DISPLAY=":$(head -n1 "$display_file")"
fi
# A server that stays up until the end, then the first wine program, which
# sets up the prefix and starts the services.
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
status=0
"$@" || status=$?
exit $status
