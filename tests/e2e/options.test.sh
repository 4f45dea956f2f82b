#!/usr/bin/env bash
# Options from the running program, as a user works it: a hold opens the menu, whose first item
# opens the dialog, listing the blinkets in window order with their thumbnails. Clicks on a row
# and on the image buttons delete one blinket and move two others; Esc closes the dialog, and at
# once the window shows the new order, narrower by the deleted blinket, and the registry holds
# the new list. A tap on the "Show Options" blinket opens the dialog again, in the new order.
# With every blinket deleted there, the default one stands in and keeps the menu within reach.
source "$(dirname "$0")/lib.sh"

private_program gear.gif globe.gif terminal.gif eyesbig.gif eyesbig.gif.eye
reg_blinket 0 gear.gif 0 ""
reg_blinket 1 globe.gif 1 "http://example.org/"
reg_blinket 2 terminal.gif 2 '\Programs\tool.exe'
reg_blinket 3 eyesbig.gif 3 "Show Options"

start_ocellix
close_about
read_screen
read_window
expect_strip window gear.gif globe.gif terminal.gif eyesbig.gif

hold_at $((WX + 53 + 24)) $((WY + 24))
click_menu_item 1
wait_dialog Options
expect_tidy_dialog Options
before=$(rows_of 1005)
echo "$before"
expect "rows" "4" "$(echo "$before" | wc -l)"
expect "row texts" "|http://example.org/|\\Programs\\tool.exe|Show Options" \
    "$(echo "$before" | awk '{ $1 = ""; print substr($0, 2) }' | paste -sd'|')"
expect "distinct thumbnails" "4" "$(echo "$before" | awk '$1 >= 0 {print $1}' | sort -u | wc -l)"
thumbnail() { echo "$before" | sed -n "$1p" | awk '{print $1}'; }
gear=$(thumbnail 1)
terminal=$(thumbnail 3)
eyes=$(thumbnail 4)

# Delete the globe: select its row, then the Delete button.
click_at "$(row_xy 1005 1)"
wait_until 5 'look_at Options; rows_of 1005 | grep -q "^\*"' || fail "the click selected no row"
expect "selected row" "*$(thumbnail 2) http://example.org/" "$(rows_of 1005 | grep '^\*')"
click_at "$(control_xy 203)"
wait_until 5 'look_at Options; [ "$(rows_of 1005 | wc -l)" = 3 ]' || fail "Delete left the row"
expect "rows after Delete" "$gear|$terminal \\Programs\\tool.exe|$eyes Show Options" \
    "$(rows_of 1005 | paste -sd'|')"

# The eyes one place up; the highlight stays on its row, which now shows the terminal.
click_at "$(row_xy 1005 2)"
click_at "$(control_xy 204)"
wait_until 5 'look_at Options; [ "$(rows_of 1005 | sed -n 2p)" = "$eyes Show Options" ]' ||
    fail "Move up did not move the row"
expect "rows after Move up" "$gear|$eyes Show Options|*$terminal \\Programs\\tool.exe" \
    "$(rows_of 1005 | paste -sd'|')"

# The gear one place down.
click_at "$(row_xy 1005 0)"
click_at "$(control_xy 205)"
wait_until 5 'look_at Options; [ "$(rows_of 1005 | sed -n 2p)" = "$gear" ]' ||
    fail "Move down did not move the row"
expect "rows after Move down" "*$eyes Show Options|$gear|$terminal \\Programs\\tool.exe" \
    "$(rows_of 1005 | paste -sd'|')"
shot options >/dev/null

xdotool key Escape
wait_dialog_gone Options
wait_until 10 'read_window; [ $((WR - WX)) -lt 226 ]' || fail "the window kept its width"
expect "window x" $((SW / 2 - (WR - WX) / 2)) "$WX"
expect_strip window-after eyesbig.gif gear.gif terminal.gif
expect_no_key_colour "$strip_shot"
expect "stored list" "eyesbig.gif 3 Show Options|gear.gif 0|terminal.gif 2 \\Programs\\tool.exe" \
    "$(stored_blinkets | paste -sd'|')"

# A tap on the eyes, now the first blinket, shows Options in the new order.
xdotool mousemove $((WX + 17)) $((WY + 15)) click 1
wait_dialog Options
look_at Options
expect "rows opened again" "$eyes Show Options|$gear|$terminal \\Programs\\tool.exe" \
    "$(rows_of 1005 | paste -sd'|')"

# Every blinket deleted: the default one stands in, unsaved, and the menu can still be had.
for left in 2 1 0; do
    click_at "$(row_xy 1005 0)"
    click_at "$(control_xy 203)"
    wait_until 5 'look_at Options; [ "$(rows_of 1005 | wc -l)" = '$left' ]' || fail "Delete left the row"
done
click_close_box Options
wait_dialog_gone Options
wait_until 10 'read_window; [ $((WR - WX)) = 67 ]' || fail "no blinket stands in for the deleted ones"
expect_strip window-emptied eyesbig.gif
expect "stored list" "" "$(stored_blinkets)"
hold_at $((WX + 17)) $((WY + 15))
click_menu_item 3
expect_exit 15 0
echo "passed"
