#!/usr/bin/env bash
# On a 192 dpi screen every dialog is laid out for its large pictures: Options has image buttons
# of 45 by 45 pixels side by side and rows as high as their 32-pixel thumbnails; Edit Item opens
# on the blinket's action, string and frame, in rows as high; Locate opens along the remembered
# "Location" with items as high as their 32-pixel pictures. No control covers another or reaches
# out of its dialog. Screenshots of each are kept for a person to look at.
source "$(dirname "$0")/lib.sh"

screen_density 192
private_program critters.gif critters.gif.eye eyesbig.gif eyesbig.gif.eye globe.gif terminal.gif
reg_blinket 0 eyesbig.gif 3 "Show Options"
reg_blinket 1 globe.gif 1 "http://example.org/"
reg_blinket 2 critters.gif:1 2 '\Programs\tool.exe'
"$WINE" reg add 'HKCU\SOFTWARE\Tarnwick\Blinkets' /v Location /t REG_SZ /d '\Programs\Old' /f \
    </dev/null >/dev/null 2>&1
root=$e2e_dir/root
mkdir -p "$root/Documents" "$root/Programs/Old"
cp "$OCX_MARKER" "$root/Programs/tool.exe"
drive=$WINEPREFIX/dosdevices/r:
ln -sfn "$root" "$drive"
e2e_cleanups+=("rm -f '$drive'")
cd "$root"

# Rows or items follow each other at least as far apart as a picture of the large set is high.
expect_rows_high() {  # what, "row" or "item", pixels
    local low
    low=$(echo "$seen" | awk -v kind="$2" -v least="$3" '
        $1 == kind { if (seen && $5 - top < least) n++; top = $5; seen = 1 } END { print n + 0 }')
    expect "$1 closer than $3 pixels" 0 "$low"
}

start_ocellix
wait_until 30 about_up || fail "no About dialog"
expect_tidy_dialog About
shot about >/dev/null
xdotool key Escape
wait_until 10 window_up || fail "no main window"
read_screen
expect "pixels per inch" 192 "$DPI"
read_window
expect_strip window eyesbig.gif globe.gif critters.gif:1

xdotool mousemove $((WX + 67 + 24)) $((WY + 24)) click 3
wait_until 5 menu_up || fail "no menu after a right click"
shot menu >/dev/null
click_menu_item 1
wait_dialog Options
expect_tidy_dialog Options
for id in 202 203 206 204 205; do
    expect "button $id" "45x45" "$(echo "$seen" | awk -v id="$id" '$1 == "control" && $2 == id {print $6 - $4 "x" $7 - $5}')"
done
expect "rows" 3 "$(rows_of 1005 | wc -l)"
expect_rows_high "Options rows" row 32
click_at "$(row_xy 1005 1)"
wait_until 5 'look_at Options; [ "$(rows_of 1005 | grep -c "^\*")" = 1 ]' || fail "the click selected no row"
shot options >/dev/null

click_at "$(control_xy 206)"
wait_dialog "Edit Item"
expect_tidy_dialog "Edit Item"
expect "action" "Run: Web Page" "$(value_of 1007)"
expect "action string" "http://example.org/" "$(value_of 1008)"
expect "rows" 7 "$(rows_of 1009 | wc -l)"
expect "selected frame" "globe.gif" "$(rows_of 1009 | awk '/^\*/ {print $2}')"
expect_rows_high "Edit Item rows" row 32
shot edit-item >/dev/null

click_at "$(control_xy 1010)"
wait_dialog Locate
wait_until 5 'look_at Locate; items_of | grep -q "Old \*"' || fail "Locate did not open along Location"
expect_tidy_dialog Locate
expect "tree" "+\\|  -Documents|  +Programs|    -Old *|    -tool.exe" "$(items_of | paste -sd'|')"
expect_rows_high "Locate items" item 32
shot locate >/dev/null

xdotool key Escape
wait_dialog_gone Locate
xdotool key Escape
wait_dialog_gone "Edit Item"
xdotool key Escape
wait_dialog_gone Options
probe close >/dev/null
expect_exit 15 0
echo "passed"
