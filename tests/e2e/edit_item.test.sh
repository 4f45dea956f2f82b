#!/usr/bin/env bash
# A new blinket, made as a new user makes it: hold, Options, Add; in Edit Item "Run: Program" is
# chosen in the action box, "..." opens Locate, whose tree is opened by keyboard and by a double
# click down to the program, which Enter picks; a frame of an image strip is clicked, and the
# close boxes finish Edit Item and Options. The window shows the new blinket at once, a tap on
# it starts the program, the registry holds it with the picked place as "Location", and after a
# restart it is still there and still starts the program.
#
# The program runs in the root of a drive of its own, so that the Locate tree, whose root is the
# root of the current drive, holds only what this test puts there.
source "$(dirname "$0")/lib.sh"

private_program critters.gif critters.gif.eye eyesbig.gif eyesbig.gif.eye gear.gif
reg_blinket 0 eyesbig.gif 0 ""

root=$e2e_dir/root
mkdir -p "$root/Documents" "$root/Programs/Old"
cp "$OCX_MARKER" "$root/Programs/marker.exe"
echo "notes" >"$root/Documents/notes.txt"
echo "read me" >"$root/readme.txt"
marker=$root/Programs/marker.exe.ran
drive=$WINEPREFIX/dosdevices/r:
ln -sfn "$root" "$drive"
e2e_cleanups+=("rm -f '$drive'")
cd "$root"

start_ocellix
close_about
read_window
expect "window width" 67 $((WR - WX))

hold_at $((WX + 17)) $((WY + 15))
click_menu_item 1
wait_dialog Options
look_at Options
click_at "$(control_xy 202)"
wait_dialog "Edit Item"
expect_tidy_dialog "Edit Item"
expect "action" "" "$(value_of 1007)"
expect "action string" "" "$(value_of 1008)"
rows=$(rows_of 1009)
echo "$rows"
expect "image rows" "critters.gif critters.gif critters.gif critters.gif eyesbig.gif gear.gif" \
    "$(echo "$rows" | awk '{print $2}' | sort | paste -sd' ')"
echo "$rows" | grep -q '^\*' && fail "a new blinket has an image selected"

# The action box drops down its three choices in sorted order; the first runs a program.
click_at "$(control_xy 1007)"
wait_until 5 'probe dropdown >/dev/null' || fail "the action box did not drop down"
read -r _ dl dt _ _ < <(probe dropdown | grep '^rect')
read -r _ count height < <(probe dropdown | grep '^items')
expect "choices" 3 "$count"
xdotool mousemove $((dl + 20)) $((dt + 1 + height / 2)) click 1
wait_until 5 'look_at "Edit Item"; [ "$(value_of 1007)" = "Run: Program" ]' ||
    fail "the click chose no action"

# "..." opens Locate on the bare root: Right opens it, a double click opens Programs.
click_at "$(control_xy 1010)"
wait_dialog Locate
expect_tidy_dialog Locate
expect "tree at first" "-\\" "$(items_of | sed 's/ \*$//')"
click_at "$(item_xy '\')"
xdotool key Right
wait_until 5 'look_at Locate; items_of | grep -q "Programs"' || fail "Right did not open the root"
double_click_at "$(item_xy Programs)"
wait_until 5 'look_at Locate; items_of | grep -q "marker.exe"' || fail "the double click did not open Programs"
click_at "$(item_xy marker.exe)"
wait_until 5 'look_at Locate; items_of | grep -q "marker.exe \*"' || fail "the click selected nothing"
expect "tree" "+\\|  -Documents|  +Programs|    -marker.exe *|    -Old|  -readme.txt" \
    "$(items_of | paste -sd'|')"
shot locate >/dev/null
xdotool key Return
wait_dialog_gone Locate
wait_until 5 'look_at "Edit Item"; [ -n "$(value_of 1008)" ]' || fail "the pick did not reach Edit Item"
expect "picked program" '\Programs\marker.exe' "$(value_of 1008)"
expect "Location" '\Programs\marker.exe' "$(stored_location)"

# The third frame of the strip: the frog.
frog=$(echo "$rows" | awk '$2 == "critters.gif" { if (++n == 3) { print NR - 1; exit } }')
click_at "$(row_xy 1009 "$frog")"
wait_until 5 'look_at "Edit Item"; rows_of 1009 | grep -q "^\*"' || fail "the click selected no image"
thumbnail=$(rows_of 1009 | sed -n "$((frog + 1))p" | awk '{print substr($1, 2)}')
expect "selected image" "*$thumbnail critters.gif" "$(rows_of 1009 | grep '^\*')"
shot edit-item >/dev/null
click_close_box "Edit Item"
wait_dialog_gone "Edit Item"
wait_until 5 'look_at Options; [ "$(rows_of 1005 | wc -l)" = 2 ]' || fail "Options shows no new row"
expect "new row" "$thumbnail \\Programs\\marker.exe" "$(rows_of 1005 | sed -n 2p)"
click_close_box Options
wait_dialog_gone Options

wait_until 10 'read_window; [ $((WR - WX)) -gt 67 ]' || fail "the window did not take the new blinket"
expect_strip window eyesbig.gif critters.gif:2
expect "stored list" 'eyesbig.gif 0|critters.gif:2 2 \Programs\marker.exe' \
    "$(stored_blinkets | paste -sd'|')"
xdotool mousemove $((WX + 67 + 24)) $((WY + 30)) click 1
wait_until 15 '[ -f "$marker" ]' || fail "a tap on the new blinket did not start the program"

xdotool mousemove $((WX + 17)) $((WY + 15)) click 3
wait_until 5 menu_up || fail "no menu after a right click"
click_menu_item 3
expect_exit 15 0

# After a restart the blinket is there and runs the program.
rm -f "$marker"
start_ocellix
close_about
read_window
expect_strip window-restarted eyesbig.gif critters.gif:2
xdotool mousemove $((WX + 67 + 24)) $((WY + 30)) click 1
wait_until 15 '[ -f "$marker" ]' || fail "after a restart the tap did not start the program"
probe close >/dev/null
expect_exit 15 0
echo "passed"
