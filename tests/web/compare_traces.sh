#!/bin/sh
# compare_traces.sh LINUX_TOOL WASM_TOOL SCRIPT...: the wasm build of the
# scenario tool (run under node) prints, with --trace, exactly what the Linux
# build prints for every script, and exits the same way.
set -u
linux=$1 wasm=$2
shift 2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failed=0 compared=0
for script in "$@"; do
  "$linux" --trace "$script" >"$out/linux" 2>&1; linux_rc=$?
  node --no-experimental-fetch "$wasm" --trace "$script" >"$out/wasm" 2>&1; wasm_rc=$?
  compared=$((compared + 1))
  if [ "$linux_rc" != "$wasm_rc" ] || ! cmp -s "$out/linux" "$out/wasm"; then
    echo "DIFFERS: $script (exit $linux_rc on Linux, $wasm_rc under node)"
    diff "$out/linux" "$out/wasm" | head -20
    failed=$((failed + 1))
  else
    echo "same: $script ($(wc -l <"$out/linux") lines)"
  fi
done
[ "$compared" -gt 0 ] || { echo "no script compared"; exit 1; }
[ "$failed" -eq 0 ]
