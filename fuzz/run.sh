#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) in build-fuzz/, and runs each on its seed
# corpus for a while. New inputs that reach new code are kept in
# build-fuzz/corpus/<reader>/; an input that crashes a reader or breaks a rule
# of its results is written to build-fuzz/findings/ and fails the run.
#
# Usage: fuzz/run.sh [seconds per target, default 300] [target...]
#   targets: wave_fuzzer outline_fuzzer (both by default)
# Replay one input: build-fuzz/fuzz/wave_fuzzer <file>
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(wave_fuzzer outline_fuzzer)

bash tools/install-deps.sh --tests
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DBUILD_TESTING=OFF -DVORLAK_BENCHMARKS=OFF -DVORLAK_FUZZ=ON >/dev/null
cmake --build build-fuzz --target "${targets[@]}"

mkdir -p build-fuzz/findings
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in "${targets[@]}"; do
  reader=${target%_fuzzer}
  corpus=build-fuzz/corpus/$reader
  mkdir -p "$corpus"
  echo "== $target for $seconds s (corpus $corpus, seeds fuzz/corpus/$reader)"
  "build-fuzz/fuzz/$target" "$corpus" "fuzz/corpus/$reader" -max_total_time="$seconds" \
      -max_len=65536 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="build-fuzz/findings/$reader-" \
      -print_final_stats=1 || status=1
done
if [ $status -ne 0 ]; then
  echo "A fuzz target found an input to look at in build-fuzz/findings/" >&2
fi
exit $status
