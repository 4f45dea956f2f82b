#!/usr/bin/env bash
# "Monitor" names the monitor the window stands on. On a display of one monitor, a "Monitor" of
# \\.\DISPLAY2 brings the window up on the primary (and is kept for the monitor's return); on a
# display of two (Xvfb with Xinerama: \\.\DISPLAY1 800 x 600 and \\.\DISPLAY2 1024 x 768, both
# at the origin), on the second, at its bottom.
source "$(dirname "$0")/lib.sh"

expect_window_on() {  # monitor, its width, its height
    read_window
    expect "monitor" "$1" "$WM"
    expect "window" "$(($2 / 2 - 33)) $(($3 - 26 - 20))" "$WX $WY"
}

reg_set "" Monitor REG_SZ '\\.\DISPLAY2'
start_ocellix
close_about
read_screen
expect_window_on '\\.\DISPLAY1' "$SW" "$SH"
probe close >/dev/null
expect_exit 15 0
expect "Monitor kept" '\\.\DISPLAY2' "$("$WINE" reg query 'HKCU\Software\Tarnwick\Ocellix' \
    /v Monitor </dev/null 2>/dev/null | tr -d '\r' | awk '$1 == "Monitor" {print $3}')"

# Wine's server reads the monitors of the display it starts on: start it afresh on the display of
# two monitors, and again on the test's own display however the test ends.
restart_server() {
    wineserver -k
    wineserver -w
    setsid wineserver -p </dev/null >/dev/null 2>&1
    setsid "$WINE" wineboot </dev/null >/dev/null 2>&1
}
fdfile=$(mktemp -u /tmp/ocellix-xvfb.XXXXXX)
Xvfb -displayfd 3 +xinerama -extension RANDR -screen 0 800x600x24 -screen 1 1024x768x24 \
    -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
two_pid=$!
own_display=$DISPLAY
e2e_cleanups+=("kill $two_pid" "DISPLAY=$own_display restart_server")
wait_until 10 '[ -s "$fdfile" ]' || fail "no display of two monitors"
export DISPLAY=":$(head -n1 "$fdfile")"
rm -f "$fdfile"
restart_server

start_ocellix
close_about
expect_window_on '\\.\DISPLAY2' 1024 768
probe close >/dev/null
expect_exit 15 0
echo "passed"
