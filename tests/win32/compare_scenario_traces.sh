#!/usr/bin/env bash
# The scenario tool built for Windows (run under wine) and for Linux must
# print the same trace of every script, line ends aside: the core behaves the
# same on both. Run inside a wine session (cmake/wine-session.sh).
#   compare_scenario_traces.sh LINUX_TOOL WINDOWS_TOOL.exe SCRIPT...
set -euo pipefail
if [ $# -lt 3 ]; then
  echo "usage: $0 LINUX_TOOL WINDOWS_TOOL.exe SCRIPT..." >&2
  exit 2
fi
linux=$1 windows=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0 same=0
for script in "$@"; do
  name=$(basename "$script")
  linux_status=0 windows_status=0
  "$linux" --trace "$script" >"$work/linux" 2>&1 || linux_status=$?
  wine "$windows" --trace "$script" </dev/null 2>&1 | tr -d '\r' >"$work/windows" || true
  windows_status=${PIPESTATUS[0]}
  if [ "$linux_status" != "$windows_status" ] || ! cmp -s "$work/linux" "$work/windows"; then
    echo "DIFFERENT: $name (exit $linux_status on Linux, $windows_status on Windows)"
    diff "$work/linux" "$work/windows" | head -n 20 || true
    failed=$((failed + 1))
  else
    echo "same: $name ($(wc -l <"$work/linux") lines)"
    same=$((same + 1))
  fi
done
echo "traces: $same passed, $failed failed"
[ "$failed" -eq 0 ]
