#!/usr/bin/env bash
# A first start: the About dialog comes first and Esc (Done) closes it; the shaped window then
# stands centred near the bottom, showing the desktop outside its blinket; tap-and-hold and a
# right click open the menu at the pointer, whose items are Options, About and Exit in that
# order; Exit ends the program with code 0 and leaves nothing running.
source "$(dirname "$0")/lib.sh"

start_ocellix
wait_until 30 about_up || fail "no About dialog"
window_up && fail "the main window came before the About dialog was closed"
about=$(probe dialog About)
echo "$about" | grep -qx 'text Blinkets' || fail "About does not name the program"
echo "$about" | grep -qx 'owner none' || fail "the first About dialog has an owner"
shot about >/dev/null
close_about

# The default blinket reaches the registry only when the list is next saved.
"$WINE" reg query 'HKCU\Software\Tarnwick\Ocellix\Blinkets' </dev/null >/dev/null 2>&1 &&
    fail "the first start wrote the list"

read_screen
read_window
expect "window size" "67x40" "$((WR - WX))x$((WB - WY))"
expect "window x" $((SW / 2 - 33)) "$WX"
expect "window y" $((SH - 26 - 20)) "$WY"
[ "$RR" -le 62 ] || fail "the shape reaches into the gap after the blinket ($RR)"
file=$(shot window)
expect_no_key_colour "$file"
expect "desktop in the gap" "$desktop_hex" "$(pixel "$file" $((WX + 64)) $((WY + 20)))"
expect "desktop at the rounded corner" "$desktop_hex" "$(pixel "$file" "$WX" "$WY")"
eye=$(pixel "$file" $((WX + 17)) $((WY + 15)))
[ "$eye" != "$desktop_hex" ] || fail "the eye shows the desktop"

# Tap-and-hold: the menu opens at the stylus point; dismissing it runs nothing.
x=$((WX + 17))
y=$((WY + 15))
xdotool mousemove "$x" "$y" mousedown 1
wait_until 5 menu_up || fail "no menu after a hold"
sleep 0.3
xdotool mouseup 1
read_menu
file=$(shot menu)
expect_no_key_colour "$file"
expect "menu left" "$x" "$MX"
[ "$MY" -le "$y" ] && [ "$MB" -ge "$y" ] || fail "the menu ($MY-$MB) is not at the point ($y)"
[ $((MB - MY)) -ge 30 ] && [ $((MR - MX)) -ge 30 ] || fail "the menu is too small for its items"
xdotool key Escape
wait_until 5 '! menu_up' || fail "Esc did not dismiss the menu"
sleep 0.5
reg_dword xTap >/dev/null && fail "a hold ran a tap"

# The first item is Options: the dialog comes up, and the list is saved when it closes.
xdotool mousemove "$x" "$y" mousedown 1
wait_until 5 menu_up || fail "no menu after a hold"
xdotool mouseup 1 key Down Return
wait_until 10 'dialog_title=Options dialog_up' || fail "the first item did not open Options"
xdotool key Escape
wait_until 10 '! dialog_title=Options dialog_up' || fail "Options did not close"
wait_until 5 '"$WINE" reg query "HKCU\\Software\\Tarnwick\\Ocellix\\Blinkets\\Blinket_00" \
    </dev/null >/dev/null 2>&1' || fail "the list was not saved after Options"

# A right click opens the same menu at the pointer; its second item is About, owned by the
# window, and its close box closes it.
xdotool mousemove $((WX + 40)) "$y" click 3
wait_until 5 menu_up || fail "no menu after a right click"
read_menu
expect "menu left after a right click" $((WX + 40)) "$MX"
xdotool key Down Down Return
wait_until 10 about_up || fail "the second item did not open About"
about=$(probe dialog About)
echo "$about" | grep -qx 'owner Ocellix' || fail "About from the menu is not owned by the window"
read -r _ cx cy < <(echo "$about" | grep '^close') || fail "About has no close box"
xdotool mousemove "$cx" "$cy" click 1
wait_until 10 '! about_up' || fail "the close box did not close About"

# The third item is Exit.
xdotool mousemove "$x" "$y" click 3
wait_until 5 menu_up || fail "no menu after a right click"
xdotool key Down Down Down Return
expect_exit 15 0
expect "ocellix.exe processes left" "processes 0" "$(probe processes | tail -n1)"
window_up && fail "the window outlived the process"
echo "passed"
