#!/usr/bin/env bash
# Runs one Windows program under wine, as ctest's emulator for the
# cross-built tests: `wine-run.sh program.exe [arguments]`, inside a wine
# session (wine-session.sh sets WINEPREFIX and starts wine's services once).
# Output comes back with Unix line ends, and the exit status is the program's.
set -euo pipefail
if [ -z "${VORLAK_WINE_SESSION:-}" ]; then
  echo "wine-run.sh: run Windows programs in a wine session, e.g." \
       "cmake/wine-session.sh --xvfb ctest --test-dir build-windows" >&2
  exit 2
fi
# wine's own console output would add carriage returns; so does the
# program's C library in text mode.
wine "$@" </dev/null | tr -d '\r'
