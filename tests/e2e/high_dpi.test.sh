#!/usr/bin/env bash
# On a 192 dpi screen the window's middle stands 52 pixels above the bottom edge; the About
# dialog and the menu come up as at 96 dpi. The density is put back however the test ends.
source "$(dirname "$0")/lib.sh"

desktop_key='HKCU\Control Panel\Desktop'
previous=$("$WINE" reg query "$desktop_key" /v LogPixels </dev/null 2>/dev/null | tr -d '\r' |
    awk '/LogPixels/ {print $NF}') || true
e2e_cleanups+=("\"\$WINE\" reg add '$desktop_key' /v LogPixels /t REG_DWORD /d $((${previous:-96})) /f </dev/null >/dev/null 2>&1")
"$WINE" reg add "$desktop_key" /v LogPixels /t REG_DWORD /d 192 /f </dev/null >/dev/null 2>&1

start_ocellix
wait_until 30 about_up || fail "no About dialog"
shot about >/dev/null
read -r _ cx cy < <(probe dialog About | grep '^close') || fail "About has no close box"
xdotool mousemove "$cx" "$cy" click 1
wait_until 10 '! about_up' || fail "the close box did not close About"
wait_until 10 window_up || fail "no main window"

read_screen
expect "pixels per inch" 192 "$DPI"
read_window
expect "window size" "67x40" "$((WR - WX))x$((WB - WY))"
expect "window y" $((SH - 52 - 20)) "$WY"
expect_no_key_colour "$(shot window)"

xdotool mousemove $((WX + 17)) $((WY + 15)) click 3
wait_until 5 menu_up || fail "no menu after a right click"
read_menu
expect "menu left" $((WX + 17)) "$MX"
expect_no_key_colour "$(shot menu)"
xdotool key Escape
probe close >/dev/null
expect_exit 15 0
echo "passed"
