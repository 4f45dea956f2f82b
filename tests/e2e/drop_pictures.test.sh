#!/usr/bin/env bash
# Files dropped on the window as a Linux file manager drops them (XDND, which Wine turns into
# WM_DROPFILES): Notepad, a shortcut to it made by the shell, and an Internet shortcut with its
# icon join the list at once, each before the blinket it was dropped on, with a picture made
# from its icon; no dialog opens. The pictures are PNG files of the user's folder, 40 pixels
# high, shown pixel for pixel and enlarged at 192 dpi, on a light and on a dark desktop. With
# Shift held, a drop opens Edit Item instead, whose list offers the made pictures after the
# Blinkets folder's. The same program dropped again takes the same picture.
source "$(dirname "$0")/lib.sh"

cc -O1 -o "$e2e_dir/xdnd_drop" "$OCX_ROOT/tests/e2e/xdnd_drop.c" -lX11 ||
    fail "cannot build the drop tool (tools/setup.sh installs gcc and libx11-dev)"
private_program eyesbig.gif eyesbig.gif.eye gear.gif
shipped=$ocx_images

notepad=$WINEPREFIX/drive_c/windows/notepad.exe
[ -f "$notepad" ] || fail "the prefix has no notepad.exe"
shortcut=$e2e_dir/Notepad.lnk
probe makeshortcut "$(winpath "$shortcut")" 'C:\windows\notepad.exe' >/dev/null ||
    fail "the shell made no shortcut"
site=$e2e_dir/WineHQ.url
printf '[InternetShortcut]\r\nURL=https://www.winehq.org/\r\nIconFile=C:\\Program Files\\Internet Explorer\\iexplore.exe\r\nIconIndex=0\r\n' >"$site"
made_dir() { echo "$WINEPREFIX"/drive_c/users/*/AppData/Local/Ocellix/Pictures; }

# Drops the file at a point of the window (inside its shape, where X finds it) and waits for the
# window to widen by the new blinket.
drop_at() {  # x, y, file
    local before=$((WR - WX))
    "$e2e_dir/xdnd_drop" "$1" "$2" "$3" || fail "the window did not take the drop of $3"
    wait_until 10 "read_window; [ \$((WR - WX)) -gt $before ]" || fail "$3 did not join the window"
    probe dialog Options >/dev/null && fail "a drop of $3 opened Options"
    return 0
}

for dpi in 96 192; do
    for desktop in light:F0F0F0 dark:1B2027; do
        look=${desktop%%:*}
        desktop_hex=${desktop#*:}
        reg_clean
        pictures_clean
        reg_blinket 0 eyesbig.gif 3 "Show Options"
        screen_density "$dpi"
        start_ocellix
        close_about
        s=$display_scale

        read_window
        drop_at $((WX + 20 * s)) $((WY + 20 * s)) "$notepad"
        drop_at $((WR - 20 * s)) $((WY + 20 * s)) "$shortcut"
        drop_at $((WX + 20 * s)) $((WY + 20 * s)) "$site"
        stored=$(stored_blinkets)
        echo "$stored"
        expect "stored list at $dpi dpi" \
            "WineHQ-.png 1 https://www.winehq.org/|notepad-.png 2 C:\\windows\\notepad.exe|Notepad-.png 2 $(winpath "$shortcut")|eyesbig.gif 3 Show Options" \
            "$(echo "$stored" | sed 's/-[0-9a-f]\{16\}\.png/-.png/' | paste -sd'|')"
        pictures=$(made_dir)
        for picture in "$pictures"/*.png; do
            expect "size of $(basename "$picture")" "PNG 40x40" "$(identify -format '%m %wx%h' "$picture")"
        done
        expect "pictures made" 3 "$(ls "$pictures" | wc -l)"

        # What the window shows is each picture as it is, key colour cut away.
        ocx_images=$e2e_dir/shown
        rm -rf "$ocx_images"
        mkdir -p "$ocx_images"
        cp "$pictures"/*.png "$shipped/eyesbig.gif" "$ocx_images/"
        mapfile -t names < <(echo "$stored" | awk '{ print $1 }')
        paint_desktop
        expect_strip "window-$dpi-$look" "${names[@]}"
        convert "$strip_shot" -crop "$((WR - WX))x$((WB - WY))+$WX+$WY" +repage "$e2e_dir/window.png"
        expect_no_key_colour "$e2e_dir/window.png"
        ocx_images=$shipped

        if [ "$dpi" = 96 ] && [ "$look" = light ]; then
            # The same program again: its picture is taken again, not made anew.
            drop_at $((WR - 20 * s)) $((WY + 20 * s)) "$notepad"
            expect "the same picture" 1 "$(stored_blinkets | awk '$3 == "C:\\windows\\notepad.exe" { print $1 }' | sort -u | wc -l)"
            expect "pictures made" 3 "$(ls "$pictures" | wc -l)"

            # With Shift held, Edit Item lets the user choose; it lists the made pictures last.
            read_window
            xdotool keydown shift
            "$e2e_dir/xdnd_drop" $((WX + 20 * s)) $((WY + 20 * s)) "$notepad" ||
                { xdotool keyup shift; fail "the window did not take the drop"; }
            xdotool keyup shift
            wait_dialog "Edit Item"
            look_at "Edit Item"
            expect "action" "Run: Program" "$(value_of 1007)"
            expect "action string" 'C:\windows\notepad.exe' "$(value_of 1008)"
            offered=$(rows_of 1009 | awk '{ print $2 }' | sed 's/[0-9a-f]\{16\}\.png$//')
            expect "the Blinkets folder's pictures first" "eyesbig.gif gear.gif" \
                "$(echo "$offered" | head -2 | sort | paste -sd' ')"
            expect "then the made ones" "Notepad- WineHQ- notepad-" \
                "$(echo "$offered" | tail -n +3 | sort | paste -sd' ')"
            expect_tidy_dialog "Edit Item"
            shot "edit-item-shift" >/dev/null
            click_close_box "Edit Item"
            wait_dialog_gone "Edit Item"
            click_close_box Options
            wait_dialog_gone Options
            expect "blinkets after an Edit Item without a choice" 5 "$(stored_blinkets | wc -l)"
        fi
        expect "/exit" 0 "$(command_code /exit)"
        expect_exit 15 0
    done
done
echo "passed"
