#!/usr/bin/env bash
# A fullscreen program over the window's monitor: the window steps out of the topmost band and
# stands below it; when the program leaves fullscreen, covers the monitor again and closes, the
# window follows, read from the Win32 z-order each time (a screenshot shows the newest X window on
# top whatever that order says). The window never takes the focus from it, and afterwards the eyes
# follow the pointer again.
source "$(dirname "$0")/lib.sh"

ocx_images=$OCX_BUILD/bin/Blinkets
xdotool mousemove 5 5
start_ocellix
close_about
read_window
expect "topmost before" 1 $(( 0x$(probe window | awk '$1 == "style" {print $3}') >> 3 & 1 ))

steps=$(probe fullscreen) || fail "the probe found no window"
echo "$steps"
step() { echo "$steps" | awk -v name="$1" '$1 == name {print $3, $5}'; }
expect "the fullscreen window in front" "foreground 1" "$(echo "$steps" | grep '^foreground')"
expect "topmost, below the fullscreen window" "0 1" "$(step fullscreen)"
expect "topmost, below the window left small" "1 0" "$(step windowed)"
expect "topmost, below the fullscreen window again" "0 1" "$(step fullscreen-again)"
expect "topmost, once it closed" "1 0" "$(step closed)"
expect "samples with the focus on Ocellix" "focus-taken 0" "$(echo "$steps" | grep focus-taken)"

# The left eye of eyesbig.gif looks right from 24,21.
xdotool mousemove $((WR + 2 * (WB - WY))) $(((WY + WB) / 2))
wait_until 5 '[ "$(pixel "$(shot follows)" $((WX + 24)) $((WY + 21)))" = 000000 ]' ||
    fail "the eyes do not follow the pointer after the fullscreen window closed"
expect "/exit" 0 "$(command_code /exit)"
expect_exit 15 0
echo "passed"
