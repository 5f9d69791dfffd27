#!/usr/bin/env bash
# Runs one Windows program under wine, as ctest's emulator for the
# cross-built tests: `wine-run.sh program.exe [arguments]`. Output comes back
# with Unix line ends, and the exit status is the program's.
#
# Inside a wine session (wine-session.sh: WINEPREFIX set, wine's services
# already running) this only starts the program; outside one it makes a
# session of its own for this program alone, which costs the ~15 s of
# setting up a wine prefix.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${VORLAK_WINE_SESSION:-}" ]; then
  exec "$here/wine-session.sh" "$0" "$@"
fi
# wine's own console output would add carriage returns; so does the
# program's C library in text mode.
wine "$@" </dev/null | tr -d '\r'
