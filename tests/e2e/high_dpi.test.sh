#!/usr/bin/env bash
# On a 192 dpi screen the blinkets are shown twice as large, each image pixel a 2 x 2 block, and
# the window's middle stands 52 pixels above the bottom edge; the About dialog and the menu come
# up as at 96 dpi. The density is put back however the test ends.
source "$(dirname "$0")/lib.sh"

screen_density 192
ocx_images=$OCX_BUILD/bin/Blinkets

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
expect "window size" "134x80" "$((WR - WX))x$((WB - WY))"
expect "window y" $((SH - 52 - 40)) "$WY"
expect "region box, twice that at 96 dpi" "2 2 120 78" "$RX $RY $RR $RB"
expect_strip window eyesbig.gif
expect_no_key_colour "$strip_shot"

xdotool mousemove $((WX + 34)) $((WY + 30)) click 3
wait_until 5 menu_up || fail "no menu after a right click"
read_menu
expect "menu left" $((WX + 34)) "$MX"
expect_no_key_colour "$(shot menu)"
xdotool key Escape
probe close >/dev/null
expect_exit 15 0
echo "passed"
