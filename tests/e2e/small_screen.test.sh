#!/usr/bin/env bash
# On a 240 by 320 screen (a Wine virtual desktop) the window is centred 26 pixels above the
# bottom edge: the default blinket, 67 by 40 with its gap, stands at (87, 274).
source "$(dirname "$0")/lib.sh"

# A virtual desktop leaves Wine's screen size behind for the programs that follow: start the
# server afresh afterwards, as the test run started it (persistent, detached from this test).
restart_server() {
    wineserver -k
    wineserver -w
    setsid wineserver -p </dev/null >/dev/null 2>&1
    setsid "$WINE" wineboot </dev/null >/dev/null 2>&1
}
e2e_cleanups+=(restart_server)

desktop=(--desktop ocx)
start_ocellix explorer /desktop=ocx,240x320
close_about "${desktop[@]}"
read_screen "${desktop[@]}"
expect "screen" "240x320" "${SW}x$SH"
read_window "${desktop[@]}"
expect "window" "87 274 154 314" "$WX $WY $WR $WB"
file=$(shot window)
convert "$file" -crop 240x320+0+0 +repage "$file"
expect_no_key_colour "$file"
probe "${desktop[@]}" close >/dev/null
wait_until 15 '! window_up "${desktop[@]}"' || fail "the window did not close"
echo "passed"
