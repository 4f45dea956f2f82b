#!/usr/bin/env bash
# A press on a blinket that moves away drags the window along the bottom of the screen: the
# blinket's program does not start, no menu opens, and the window's centre and monitor are saved,
# so that the next start puts it where it was left. Esc during a drag puts the window back.
source "$(dirname "$0")/lib.sh"

cp "$OCX_BUILD/bin/Blinkets/terminal.gif" "$e2e_dir/"
cp "$OCX_MARKER" "$e2e_dir/marker.exe"
marker=$e2e_dir/marker.exe.ran
reg_set 'Blinkets\Blinket_00' ImageFile REG_SZ "$(winpath "$e2e_dir/terminal.gif")"
reg_set 'Blinkets\Blinket_00' ActionCmd REG_DWORD 2
reg_set 'Blinkets\Blinket_00' ActionString REG_SZ "$(winpath "$e2e_dir/marker.exe")"

start_ocellix
close_about
read_screen
read_window
x0=$WX
y0=$WY
centre=$(((WX + WR) / 2))

# Pressed on the blinket, moved 200 right in steps (and up a little, which the window ignores).
xdotool mousemove $((WX + 20)) $((WY + 20)) mousedown 1
for step in 1 2 3 4; do
    xdotool mousemove $((WX + 20 + 50 * step)) $((WY + 20 - 5 * step))
    sleep 0.1
done
xdotool mouseup 1
wait_until 5 'read_window; [ "$WX" = $((x0 + 200)) ]' || fail "the window is at $WX, not $((x0 + 200))"
expect "window y" "$y0" "$WY"
expect "position" $((centre + 200)) "$(reg_dword position)"
expect "Monitor" '\\.\DISPLAY1' "$("$WINE" reg query 'HKCU\Software\Tarnwick\Ocellix' /v Monitor \
    </dev/null 2>/dev/null | tr -d '\r' | awk '$1 == "Monitor" {print $3}')"
menu_up && fail "a menu opened"
sleep 1
[ ! -f "$marker" ] || fail "the drag started the blinket's program"
reg_dword xTap >/dev/null && fail "the drag was recorded as a tap"
expect_no_key_colour "$(shot dragged)"

# Dragged left past the screen's edge, then Esc: back where it was.
xdotool mousemove $((WX + 20)) $((WY + 20)) mousedown 1 mousemove 5 $((WY + 20))
wait_until 5 'read_window; [ "$WX" = 0 ]' || fail "the window did not stop at the left edge ($WX)"
xdotool key Escape
wait_until 5 'read_window; [ "$WX" = $((x0 + 200)) ]' || fail "Esc did not put the window back ($WX)"
xdotool mouseup 1
expect "position after Esc" $((centre + 200)) "$(reg_dword position)"

probe close >/dev/null
expect_exit 15 0
start_ocellix
close_about
read_window
expect "window x at the next start" $((x0 + 200)) "$WX"
expect "window y at the next start" "$y0" "$WY"
echo "passed"
