#!/usr/bin/env bash
# The real program on a bare X server (no window manager): launcher, play,
# the console's outline as the server has it, a drag, the right-click menu
# and Esc.
#   end_to_end.sh <program> <folder with SOUND and the side documents>
# Run it under xvfb-run with a 1024 x 768 screen.
set -euo pipefail

program=$1
run_dir=$2
work=$(mktemp -d)
pid=""
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime
export XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME/Selvane"
printf '[General]\nSoundMode=2\nSystem=1\n' >"$XDG_CONFIG_HOME/Selvane/Vorlak.conf"

# Absolute position of a window, "X Y".
position() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'; }
wait_for() {  # wait_for <seconds> <command...>
    local tries=$(( $1 * 10 )); shift
    until "$@"; do
        tries=$((tries - 1)); [ $tries -gt 0 ] || return 1
        sleep 0.1
    done
}
window_under() { xdotool mousemove "$1" "$2" getmouselocation --shell | sed -n 's/^WINDOW=//p'; }
pixel() { convert-im6 "$1" -crop "1x1+$2+$3" -depth 8 txt:- | tail -1 | grep -o '#[0-9A-Fa-f]\{6\}'; }
# Where the console is not drawn, the screen shows what it showed before the
# program started (the skin outside the outline is a dark grey, not black).
shows_background() { [ "$(pixel "$work/screen.png" "$1" "$2")" = "$(pixel "$work/before.png" "$1" "$2")" ]; }

import -window root "$work/before.png"
cd "$run_dir"
"$program" >"$work/program.log" 2>&1 &
pid=$!

# The launcher comes up centred on the console's first activation; the
# console waits off the screen.
launcher=$(timeout 20 xdotool search --sync --onlyvisible --name '^About Vorlak\.\.\.$' | head -1) \
    || fail "no launcher"
console=$(xwininfo -root -tree | awk '/"Vorlak Simulator".* 461x738\+/ {print $1; exit}')
[ -n "$console" ] || fail "no console window"
console=$((console))
[ "$(position "$console")" = "-500 -1" ] || fail "console before play at $(position "$console")"
[ "$(position "$launcher")" = "389 205" ] || fail "launcher at $(position "$launcher")"

xdotool mousemove --sync $((389 + 122)) $((205 + 337)) click 1
wait_for 10 test "$(position "$console")" = "281 15" || fail "console after play at $(position "$console")"

# The outline as the X server has it, for drawing and for the mouse.
extents=$(xwininfo -id "$console" -shape | sed -n 's/^ *Window shape extents: *//p')
[ "$extents" = "460x737+2+1" ] || fail "shape extents $extents"
# Once the console has drawn itself where it came on screen.
drawn() { import -window root "$work/screen.png" && ! shows_background $((281 + 230)) $((15 + 400)); }
wait_for 10 drawn || fail "the console did not draw itself"
for p in "0 0" "1 300" "440 736" "460 737" "40 1" "421 2"; do
    set -- $p
    [ "$(window_under $((281 + $1)) $((15 + $2)))" != "$console" ] || fail "($1,$2) reaches the console"
    shows_background $((281 + $1)) $((15 + $2)) || fail "($1,$2) is drawn"
done
for p in "230 400" "2 19" "22 737"; do
    set -- $p
    [ "$(window_under $((281 + $1)) $((15 + $2)))" = "$console" ] || fail "($1,$2) misses the console"
    ! shows_background $((281 + $1)) $((15 + $2)) || fail "($1,$2) is not drawn"
done

# A drag on the skin by (+30, -20) moves the console by exactly that.
xdotool mousemove --sync $((281 + 120)) $((15 + 620)) mousedown 1
for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove --sync $((281 + 120 + 3 * step)) $((15 + 620 - 2 * step))
done
xdotool mouseup 1
wait_for 5 test "$(position "$console")" = "311 -5" || fail "console after the drag at $(position "$console")"
[ "$(window_under $((311 + 120)) $((-5 + 620)))" = "$console" ] || fail "grabbed point left the pointer"

# The right-click menu opens at the pointer.
xdotool mousemove --sync $((311 + 230)) $((-5 + 650)) click 3
menu_open() { xwininfo -root -tree | grep -q '"Vorlak Simulator".*+541+645 '; }
wait_for 5 menu_open || fail "no menu at the pointer"
menu=$(xwininfo -root -tree | awk '/"Vorlak Simulator".*\+541\+645 / {print $1; exit}')
xwininfo -id "$menu" | grep -q 'IsViewable' || fail "menu not shown"
xdotool key Escape  # closes the menu
wait_for 5 sh -c "! xwininfo -id $menu 2>/dev/null | grep -q IsViewable" || fail "menu stays open"

# Esc on the console ends the program with status 0; the choices stay.
xdotool mousemove --sync $((311 + 120)) $((-5 + 620)) click 1
xdotool key Escape
status=0
timeout 10 tail --pid="$pid" -f /dev/null || fail "program still running after Esc"
wait "$pid" || status=$?
pid=""
[ "$status" = 0 ] || fail "exit status $status"
grep -q '^SoundMode=2$' "$XDG_CONFIG_HOME/Selvane/Vorlak.conf" || fail "SoundMode lost"
grep -q '^System=1$' "$XDG_CONFIG_HOME/Selvane/Vorlak.conf" || fail "System lost"
echo "end to end: all checks passed"
