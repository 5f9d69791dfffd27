#!/usr/bin/env bash
# Builds and runs every benchmark and prints one table, each figure beside its
# like-for-like floor measured in the same run. All X work happens on one
# private Xvfb.
#
# Usage: bench/run-all.sh [--build-dir DIR] [--seconds N] [--quick]
#   --build-dir DIR  where to configure and build (default: build)
#   --seconds N      length of each timer phase, of the gear-3 race, of the
#                    launcher idle phase and of the powered-off phase (default 60)
#   --quick          short runs, to check the wiring (figures are not comparable)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build_dir="$repo/build"
seconds=60
quick=0
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build_dir=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --quick) quick=1; shift ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) echo "run-all: unknown argument $1" >&2; exit 2 ;;
  esac
done
case "$build_dir" in /*) ;; *) build_dir="$PWD/$build_dir" ;; esac

if [ -z "${VORLAK_BENCH_UNDER_XVFB:-}" ]; then
  if [ ! -f "$build_dir/build.ninja" ] && [ ! -f "$build_dir/Makefile" ]; then
    cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$build_dir" --target vorlak-simulator vorlak-scenario bench-bare-window \
    bench-timer-lateness bench-key-repaint bench-launch bench-race-cpu bench-headless sound_latency \
    bench-sound-conversion >/dev/null
  export VORLAK_BENCH_UNDER_XVFB=1
  exec "$repo/bench/common/with-xvfb.sh" "$0" --build-dir "$build_dir" --seconds "$seconds" \
    $([ "$quick" = 1 ] && echo --quick)
fi

b="$build_dir/bench"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
presses=1000 runs=10 headless_runs=30 idle_seconds=$seconds
if [ "$quick" = 1 ]; then
  seconds=5 idle_seconds=3 presses=100 runs=2 headless_runs=5
fi

log() { printf '%s\n' "$*" >&2; }
started=$(date -u '+%Y-%m-%d %H:%M UTC')
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

log "== headless five-level game"
"$b/headless/bench-headless" --runs "$headless_runs" | tee "$out/headless" >&2 || true
log "== key to repaint"
"$b/keys/bench-key-repaint" --presses "$presses" | tee "$out/keys" >&2 || true
log "== sound"
# Reopening a device closed in silence is timed through PulseAudio too, on a
# private server with a null sink, where pulseaudio is installed.
pulse_pid=
if command -v pulseaudio >/dev/null && command -v pactl >/dev/null; then
  mkdir -p "$out/pulse"
  HOME="$out/pulse" XDG_RUNTIME_DIR="$out/pulse" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --use-pid-file=no --disable-shm -L "module-null-sink sink_name=bench rate=22050 channels=1 format=s16le" \
    -L "module-native-protocol-unix socket=$out/pulse/native auth-anonymous=1" >"$out/pulse/log" 2>&1 &
  pulse_pid=$!
  for _ in $(seq 50); do PULSE_SERVER="unix:$out/pulse/native" pactl info >/dev/null 2>&1 && break; sleep 0.1; done
fi
PULSE_SERVER="unix:$out/pulse/native" VORLAK_BENCH_REOPEN_DRIVER=${pulse_pid:+pulseaudio} \
  "$b/sound/sound_latency" 2>/dev/null | tee "$out/sound" >&2 || true
[ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null && wait "$pulse_pid" 2>/dev/null || true
log "== loading the SOUND folder, converted to a device's format"
"$b/conversion/bench-sound-conversion" --runs "$runs" | tee "$out/conversion" >&2 || true
log "== launch and peak memory"
"$b/launch/bench-launch" --runs "$runs" | tee "$out/launch" >&2 || true
log "== CPU, idle on the launcher then racing at gear 3"
"$b/cpu/bench-race-cpu" --seconds "$seconds" --idle-seconds "$idle_seconds" | tee "$out/cpu" >&2 || true
log "== game-timer tick lateness ($seconds s idle, $seconds s loaded)"
"$b/timers/bench-timer-lateness" --seconds "$seconds" | tee "$out/timers" >&2 || true

# The sound bench prints its own report; its worst cases become rows here.
awk -F'\t' -v OFS='\t' '
  /^Device:/ { match($0, /buffer [0-9]+ frames = [0-9.]+ ms/); buffer = substr($0, RSTART + 7, RLENGTH - 7) }
  /^Suona ->/ { part = "effect" } /^Speaker/ { part = "pitch" }
  /^Suona on a device closed in silence \(.* driver\) ->/ { part = "reopen"; driver = $0; sub(/.*\(/, "", driver); sub(/ driver.*/, "", driver); drivers[++ndrivers] = driver }
  part == "reopen" && /until that buffer reached the device/ { v = $0; sub(/.*max */, "", v); sub(/ .*/, "", v); reopenMs[driver] = v }
  part == "reopen" && /the call took/ { v = $0; sub(/.*max */, "", v); sub(/ .*/, "", v); reopenUs[driver] = v }
  /frames from the mixing position/ { frames[part] = $0; sub(/.*max */, "", frames[part]); sub(/ .*/, "", frames[part]) }
  /until that buffer reached the device/ { ms[part] = $0; sub(/.*max */, "", ms[part]); sub(/ .*/, "", ms[part]) }
  END {
    if (buffer == "" || ms["effect"] == "") { print "ROW", "Suona / Speaker latency", "(no output)", "-", "-", "-", "MISSED"; exit }
    split(buffer, parts, " ")
    names["effect"] = "Suona to effect first sample (disk driver, max)"
    names["pitch"] = "Speaker to new pitch (disk driver, max)"
    for (p in names) {
      ok = (frames[p] + 0 <= 0 && ms[p] + 0 <= 25) ? "met" : "MISSED"
      value = sprintf("next buffer (offset %g frames), %s ms", frames[p], ms[p])
      print "ROW", names[p], value, "buffer " buffer, sprintf("%+.2f ms", ms[p] - parts[4]), "next buffer, <= 25 ms", ok
    }
    # An effect that opens the device closed in silence, beside one on the open device.
    for (i = 1; i <= ndrivers; ++i) {
      d = drivers[i]
      if (reopenMs[d] == "") continue
      # Informative: switched on, the device does not rest, so that no effect
      # of a game waits for a device to start.
      print "ROW", "Suona on a resting device (switched off) to its first buffer (" d ", max)", \
        sprintf("%s ms (opening on the UI thread %s us)", reopenMs[d], reopenUs[d]), \
        sprintf("%s ms (device open, disk)", ms["effect"]), sprintf("%+.2f ms", reopenMs[d] - ms["effect"]), \
        "-", "-"
    }
  }' "$out/sound" > "$out/sound.rows"

{
  printf 'Figure\tValue\tFloor (same run)\tvs floor\tGoal\tVerdict\n'
  cat "$out/timers" "$out/keys" "$out/sound.rows" "$out/conversion" "$out/cpu" "$out/launch" "$out/headless" |
    grep '^ROW' | cut -f2-
} > "$out/table"

echo
echo "Vorlak Simulator benchmarks, $started"
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores," \
  "$(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo); $(uname -sr);" \
  "Xvfb $(dpkg-query -W -f='${Version}' xvfb 2>/dev/null || echo '?')"
echo "Load average before: $load_before; after: $(cut -d' ' -f1-3 /proc/loadavg)"
[ "$quick" = 1 ] && echo "QUICK RUN: short phases, figures not comparable with the goals"
echo
# Aligned columns without depending on column(1).
awk -F'\t' '
  { for (i = 1; i <= NF; ++i) { cell[NR, i] = $i; if (length($i) > width[i]) width[i] = length($i) } cols[NR] = NF }
  END { for (r = 1; r <= NR; ++r) { line = ""; for (i = 1; i <= cols[r]; ++i)
          line = line sprintf(i < cols[r] ? "%-" width[i] "s  " : "%s", cell[r, i]); print line } }' "$out/table"
