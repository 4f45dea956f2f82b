#!/usr/bin/env bash
# /add hands a file or a web address to the running copy as a drop on its window does, at 96 and
# at 192 dpi: Options opens with Edit Item on a new blinket, "Run: Program" and the file's full
# path (a relative path with spaces is made full by the sender); once a picture is chosen the
# blinket joins the end of the list, is saved and shown, and a tap starts the program. A web
# address gives "Run: Web Page"; closed without a picture, it adds nothing.
source "$(dirname "$0")/lib.sh"

private_program eyesbig.gif eyesbig.gif.eye gear.gif globe.gif
mkdir -p "$e2e_dir/my tools"
cp "$OCX_MARKER" "$e2e_dir/my tools/run me.exe"
program=$(winpath "$e2e_dir/my tools/run me.exe")
marker="$e2e_dir/my tools/run me.exe.ran"
cd "$e2e_dir"

for dpi in 96 192; do
    reg_clean
    reg_blinket 0 eyesbig.gif 3 "Show Options"
    screen_density "$dpi"
    start_ocellix
    close_about

    expect "/add at $dpi dpi" 0 "$(command_code /add 'my tools\run me.exe')"
    wait_dialog "Edit Item"
    look_at "Edit Item"
    expect "action" "Run: Program" "$(value_of 1007)"
    expect "action string" "$program" "$(value_of 1008)"
    rows=$(rows_of 1009)
    echo "$rows" | grep -q '^\*' && fail "the new blinket has a picture already"
    gear=$(echo "$rows" | awk '$2 == "gear.gif" { print NR - 1; exit }')
    click_at "$(row_xy 1009 "$gear")"
    wait_until 5 'look_at "Edit Item"; rows_of 1009 | grep -q "^\*"' || fail "no picture selected"
    shot "edit-item-$dpi" >/dev/null
    click_close_box "Edit Item"
    wait_dialog_gone "Edit Item"
    wait_until 5 'look_at Options; [ "$(rows_of 1005 | wc -l)" = 2 ]' || fail "Options shows no new row"
    expect "new row, selected" "*$program" "$(rows_of 1005 | sed -n 2p | sed 's/^\(\*\?\)[0-9-]* /\1/')"
    shot "options-$dpi" >/dev/null
    click_close_box Options
    wait_dialog_gone Options
    expect "stored list" "eyesbig.gif 3 Show Options|gear.gif 2 $program" \
        "$(stored_blinkets | paste -sd'|')"
    expect_strip "window-$dpi" eyesbig.gif gear.gif

    expect "/add of a web address" 0 "$(command_code /add https://example.org/)"
    wait_dialog "Edit Item"
    look_at "Edit Item"
    expect "action" "Run: Web Page" "$(value_of 1007)"
    expect "action string" "https://example.org/" "$(value_of 1008)"
    click_close_box "Edit Item"
    wait_dialog_gone "Edit Item"
    look_at Options
    expect "rows without a picture chosen" "Show Options|$program" \
        "$(rows_of 1005 | sed 's/^[*0-9-]* //' | paste -sd'|')"
    click_close_box Options
    wait_dialog_gone Options
    expect "stored list" "eyesbig.gif 3 Show Options|gear.gif 2 $program" \
        "$(stored_blinkets | paste -sd'|')"

    if [ "$dpi" = 96 ]; then
        read_window
        xdotool mousemove $((WX + 67 + 14)) $((WY + 17)) click 1
        wait_until 15 '[ -f "$marker" ]' || fail "a tap on the added blinket did not start it"
    fi
    expect "/exit" 0 "$(command_code /exit)"
    expect_exit 15 0
done
echo "passed"
