#!/usr/bin/env bash
# The Windows program's figures, measured under wine and printed as one table,
# each beside its floor from the same run:
#   - the Windows clock's tick lateness (idle), beside bare high-resolution
#     waitable timers, and the Linux program's clock (QtClock) measured right
#     after it on the same machine;
#   - the Windows program racing at gear 3 under wine (DirectSound into a
#     private PulseAudio server, an autopilot steering from the screen): its
#     game timers' tick lateness, and its CPU beside a bare window under wine
#     repainting at the race's rates and beside the Linux program racing the
#     same way (bench-race-cpu);
#   - the zip's size, beside the same package around a bare window program
#     built the same way.
# wine is not Windows: its timers and its sound stack say nothing of
# Windows' own.
#
# Usage: bench/win32/run.sh [--build-dir DIR] [--linux-build-dir DIR] [--seconds N]
#   --build-dir DIR        the Windows build (default: build-windows)
#   --linux-build-dir DIR  the Linux build with the benchmarks (default: build)
#   --seconds N            length of each timer phase and of each race (default 60)
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
build_dir="$repo/build-windows"
linux_dir="$repo/build"
seconds=60
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build_dir=$2; shift 2 ;;
    --linux-build-dir) linux_dir=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    -h|--help) sed -n '2,22p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
case "$build_dir" in /*) ;; *) build_dir="$PWD/$build_dir" ;; esac
case "$linux_dir" in /*) ;; *) linux_dir="$PWD/$linux_dir" ;; esac

if [ ! -f "$build_dir/build.ninja" ]; then
  cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DBUILD_TESTING=OFF -DVORLAK_BENCHMARKS=ON >/dev/null
fi
cmake --build "$build_dir" --parallel 2 --target bench-win32-clock bench-win32-bare-window bench-win32-race win32-window-probe \
  package_zip >/dev/null
if [ ! -f "$linux_dir/build.ninja" ]; then
  cmake -S "$repo" -B "$linux_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$linux_dir" --parallel 2 --target bench-timer-lateness bench-race-cpu vorlak-simulator >/dev/null

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
log() { printf '%s\n' "$*" >&2; }
started=$(date -u '+%Y-%m-%d %H:%M UTC')
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

log "== Windows clock under wine ($seconds s, then $seconds s of bare timers)"
"$repo/cmake/wine-session.sh" "$repo/cmake/wine-run.sh" "$build_dir/bench/win32/bench-win32-clock.exe" \
  --seconds "$seconds" | tee "$out/clock" >&2
log "== Linux clock ($seconds s idle)"
QT_QPA_PLATFORM=offscreen "$linux_dir/bench/timers/bench-timer-lateness" --seconds "$seconds" --idle-only \
  | tee "$out/linux" >&2
linux_idle=$(awk -F'\t' '/^ROW/ { print $3 }' "$out/linux")
awk -F'\t' -v OFS='\t' -v linux="$linux_idle" \
  '/^ROW/ { print; print "ROW", "  same, against the Linux program'"'"'s clock (QtClock)", $3, linux, "-", "-", "-" }' \
  "$out/clock" > "$out/clock.rows"

zip=$(ls "$build_dir"/vorlak-simulator-*-win64.zip | head -n 1)
log "== Windows program racing at gear 3 under wine ($seconds s)"
python3 "$repo/bench/win32/race_bench.py" --package "$zip" --source-dir "$repo" --seconds "$seconds" \
  --race-program "$build_dir/bench/win32/bench-win32-race.exe" \
  --bare-window "$build_dir/bench/win32/bench-win32-bare-window.exe" \
  --probe "$(ls "$build_dir"/*/win32/win32-window-probe.exe | head -n 1)" | tee "$out/race" >&2
log "== Linux program racing at gear 3 ($seconds s)"
"$repo/bench/common/with-xvfb.sh" "$linux_dir/bench/cpu/bench-race-cpu" --seconds "$seconds" --idle-seconds 5 \
  | tee "$out/linux-race" >&2 || true
linux_race=$(awk -F'\t' '/^ROW\tCPU racing/ { print $3 }' "$out/linux-race")
awk -F'\t' -v OFS='\t' -v linux="${linux_race:-(no figure)}" '
  /^ROW/ { print }
  /^ROW\tWindows program racing under wine: CPU/ { print "ROW", "  same, against the Linux program racing (QtClock, SDL)", $3, linux, "-", "-", "-" }' \
  "$out/race" > "$out/race.rows"

# The package's size against the same package around the bare window.
mkdir -p "$out/bare/vorlak-simulator"
(cd "$out/bare" && unzip -q "$zip" && rm vorlak-simulator/vorlak-simulator.exe)
strip_tool=$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' "$build_dir/CMakeCache.txt")
"$strip_tool" -o "$out/bare/vorlak-simulator/vorlak-simulator.exe" "$build_dir/bench/win32/bench-win32-bare-window.exe"
(cd "$out/bare" && cmake -E tar cf bare.zip --format=zip vorlak-simulator)
kib() { awk -v b="$1" 'BEGIN { printf "%.0f KiB", b / 1024 }'; }
zip_bytes=$(stat -c %s "$zip")
bare_bytes=$(stat -c %s "$out/bare/bare.zip")
exe_bytes=$(unzip -l "$zip" vorlak-simulator/vorlak-simulator.exe | awk 'NR == 4 { print $1 }')
bare_exe_bytes=$(stat -c %s "$out/bare/vorlak-simulator/vorlak-simulator.exe")
printf 'ROW\t%s\t%s\t%s\t%s\t-\t-\n' "Windows zip ($(basename "$zip"))" \
  "$(kib "$zip_bytes") (program $(kib "$exe_bytes"))" \
  "$(kib "$bare_bytes") (bare window program $(kib "$bare_exe_bytes"))" \
  "$(awk -v a="$zip_bytes" -v b="$bare_bytes" 'BEGIN { printf "%.2fx", a / b }')" > "$out/zip.rows"

{
  printf 'Figure\tValue\tBaseline (same run)\tvs baseline\tGoal\tVerdict\n'
  cat "$out/clock.rows" "$out/race.rows" "$out/zip.rows" | grep '^ROW' | cut -f2-
} > "$out/table"
echo
echo "Vorlak Simulator, Windows program under wine, $started"
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores;" \
  "$(WINEDEBUG=-all wine --version 2>/dev/null || echo 'wine ?')"
echo "Load average before: $load_before; after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
awk -F'\t' '
  { for (i = 1; i <= NF; ++i) { cell[NR, i] = $i; if (length($i) > width[i]) width[i] = length($i) } cols[NR] = NF }
  END { for (r = 1; r <= NR; ++r) { line = ""; for (i = 1; i <= cols[r]; ++i)
          line = line sprintf(i < cols[r] ? "%-" width[i] "s  " : "%s", cell[r, i]); print line } }' "$out/table"
