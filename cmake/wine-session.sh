#!/usr/bin/env bash
# Runs a command (ctest, a test script, a program) in a wine session of its
# own: a fresh wine prefix, wine's services started once with their output
# going nowhere (they would otherwise hold the output pipe of whatever
# started them, and ctest would wait for it forever), and a wine server kept
# up for the whole command, then ended and the prefix removed.
#   wine-session.sh ctest --test-dir build-windows -j2
# Sound goes to PULSE_SERVER when it is set; nothing needs a display unless
# a window is made (give DISPLAY for those).
set -euo pipefail
if [ $# -eq 0 ]; then
  echo "usage: $0 command [arguments]" >&2
  exit 2
fi
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/vorlak-wine.XXXXXX")
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}   # also keeps the wrapper's wine32 hint quiet
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}  # no Mono or Gecko set-up
export WINEARCH=win64
export VORLAK_WINE_SESSION=1
finish() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap finish EXIT
# A server that stays up until the end, then the first wine program, which
# sets up the prefix and starts the services.
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
status=0
"$@" || status=$?
exit $status
