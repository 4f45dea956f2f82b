#!/usr/bin/env bash
# The window without a mouse: /focus, at the start or to the running copy (where a click had left
# the keyboard with Notepad), brings the keyboard to the first blinket with a mark in the system's
# highlight colours; Right, End and Home move it, Enter runs the blinket it is on, Shift+F10
# opens the menu there, and Esc gives the focus back to Notepad, the mark gone.
source "$(dirname "$0")/lib.sh"

private_program gear.gif terminal.gif eyesbig.gif
cp "$OCX_MARKER" "$e2e_dir/marker.exe"
marker=$e2e_dir/marker.exe.ran
reg_blinkets "gear.gif|0|" "terminal.gif|2|Z:${e2e_dir//\//\\}\\marker.exe" "eyesbig.gif|3|"
xset r off

# Started with /focus, Ocellix takes the keyboard once About is closed.
start_ocellix -- /focus
close_about
read_window
read -r _ highlight highlight_text < <(probe colours)
focused_child() { probe accessible | awk '$1 == "focus" { print $2 }'; }
wait_until 5 '[ "$(focused_child)" = 1 ]' || fail "/focus at the start gave the keyboard no blinket"
expect "the keyboard at the start" "focus Ocellix" "$(probe focus)"
xdotool key Escape
wait_until 5 '[ "$(focused_child)" != 1 ]' || fail "Esc kept the keyboard on the blinket"

"$WINE" notepad </dev/null >/dev/null 2>&1 &
notepad=$!
e2e_cleanups+=("kill $notepad")
wait_until 15 'probe foreground | grep -q Notepad' || fail "Notepad did not take the front"
keyboard_with() {  # foreground class, focus class
    local wanted="$1 focus $2"
    wait_until 5 '[ "$(probe foreground | cut -d" " -f2) $(probe focus)" = "$wanted" ]' ||
        fail "the keyboard is with $(probe foreground), $(probe focus); expected $wanted"
}
keyboard_with Notepad Edit
# Each blinket's place on the screen, from the left: x, y, width, height in window pixels.
places=("0 0 48 48" "53 0 48 48" "106 0 62 40")

# A click leaves the keyboard where it was.
xdotool mousemove $((WX + 24)) $((WY + 24)) click 1
sleep 1
keyboard_with Notepad Edit
xdotool mousemove $((WX + 20)) $((WY - 300))
plain=$(shot plain)

# The mark on the middle row of a blinket, from its outline inwards: two pixels of the highlight
# colour, then one of its text colour.
expect_mark() {  # blinket number (0-based), screenshot
    local x y w h
    read -r x y w h <<<"${places[$1]}"
    expect "the mark on blinket $1" "$highlight $highlight $highlight_text" \
        "$(convert "$2" -crop "8x1+$((WX + x))+$((WY + y + h / 2))" +repage -depth 8 txt:- |
            awk -v desktop="$desktop_hex" 'NR > 1 { c = toupper(substr($3, 2, 6))
                if (c != desktop && n < 3) { s = s (n++ ? " " : "") c } } END { print s }')"
}
# The first blinket as the screenshot shows it.
first_blinket() {  # screenshot
    convert "$1" -crop "48x48+$WX+$WY" +repage "$e2e_dir/$(basename "$1")"
    echo "$e2e_dir/$(basename "$1")"
}

expect "/focus" 0 "$(command_code /focus)"
keyboard_with Ocellix Ocellix
expect "the focused child" 1 "$(focused_child)"
expect_mark 0 "$(shot focus-first)"

xdotool key Right
wait_until 5 '[ "$(focused_child)" = 2 ]' || fail "Right did not move to the second blinket"
second=$(shot focus-second)
expect_mark 1 "$second"
expect "pixels of the first blinket unlike before /focus" 0 \
    "$(compare -metric AE "$(first_blinket "$plain")" "$(first_blinket "$second")" null: 2>&1 || true)"
xdotool key Return
wait_until 15 '[ -f "$marker" ]' || fail "Enter did not run the second blinket"
keyboard_with Ocellix Ocellix

xdotool key shift+F10
wait_until 5 menu_up || fail "Shift+F10 opened no menu"
read_menu
shot menu >/dev/null
[ "$MX" -ge $((WX + 53)) ] && [ "$MX" -le $((WX + 101)) ] ||
    fail "the menu opened at x $MX, not at the second blinket"
xdotool key Escape
wait_until 5 '! menu_up' || fail "Esc did not close the menu"
keyboard_with Ocellix Ocellix

xdotool key End
wait_until 5 '[ "$(focused_child)" = 3 ]' || fail "End did not move to the last blinket"
xdotool key Home
wait_until 5 '[ "$(focused_child)" = 1 ]' || fail "Home did not move to the first blinket"

xdotool key Escape
keyboard_with Notepad Edit
expect "pixels of the first blinket unlike before /focus, after Esc" 0 \
    "$(compare -metric AE "$(first_blinket "$plain")" "$(first_blinket "$(shot focus-gone)")" null: 2>&1 || true)"
echo "passed"
