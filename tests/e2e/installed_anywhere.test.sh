#!/usr/bin/env bash
# Ocellix where real people put it, with real data. Unpacked into a folder whose Windows path is
# about 200 characters long, it starts with About and then the default blinket. A list with a gap
# in its numbering and a blinket whose picture is away for a while loses nothing: the blinket
# takes no room in the window, keeps its row in Options with the missing-picture mark, is saved
# back unchanged, and shows again once its picture is back and a reload is asked for.
source "$(dirname "$0")/lib.sh"

app=$e2e_dir/Downloads
while [ "$(winpath "$app" | wc -c)" -lt 190 ]; do
    app="$app/Ocellix unpacked for a try"
    mkdir -p "$app"
done
cp "$OCX_EXE" "$app/ocellix.exe"
cp -r "$OCX_BUILD/bin/Blinkets" "$app/"
OCX_EXE=$app/ocellix.exe
ocx_images=$app/Blinkets
echo "installed at $(winpath "$OCX_EXE") ($(winpath "$OCX_EXE" | wc -c) characters)"

start_ocellix
close_about
expect_strip first-run eyesbig.gif
"$WINE" reg query 'HKCU\Software\Tarnwick\Ocellix\Blinkets' </dev/null >/dev/null 2>&1 &&
    fail "the default blinket was stored before any save"
probe close >/dev/null
expect_exit 15 0

reg_blinket 0 eyesbig.gif 3 "Show Options"
reg_blinket 4 gear.gif 1 "http://example.org/"
reg_blinket 9 globe.gif 2 'C:\windows\notepad.exe'
mv "$ocx_images/gear.gif" "$e2e_dir/away.gif"
start_ocellix
close_about
read_window
expect_strip picture-away eyesbig.gif globe.gif

hold_at $((WX + 10)) $((WY + 15))
click_menu_item 1
wait_dialog Options
look_at Options
rows=$(rows_of 1005)
echo "$rows"
expect "rows" "3" "$(echo "$rows" | wc -l)"
expect "row texts" "Show Options|http://example.org/|C:\\windows\\notepad.exe" \
    "$(echo "$rows" | awk '{ $1 = ""; print substr($0, 2) }' | paste -sd'|')"
mark=$(echo "$rows" | sed -n 2p | awk '{print $1}')
[ "$mark" -ge 0 ] || fail "the blinket whose picture is away shows no mark"
expect "distinct pictures" "3" "$(echo "$rows" | awk '{print $1}' | sort -u | wc -l)"
shot options >/dev/null
xdotool key Escape
wait_dialog_gone Options

expect "stored list" "eyesbig.gif 3 Show Options|gear.gif 1 http://example.org/|globe.gif 2 C:\\windows\\notepad.exe" \
    "$(stored_blinkets | paste -sd'|')"
expect_strip after-options eyesbig.gif globe.gif

mv "$e2e_dir/away.gif" "$ocx_images/gear.gif"
reg_set "" reload REG_DWORD 1
wait_until 25 '[ "$(reg_dword reload)" = 0 ]' || fail "the reload request was not served"
expect_strip picture-back eyesbig.gif gear.gif globe.gif
echo "passed"
