#!/usr/bin/env bash
# The big eyes watch the pointer, at 96 and at 192 dpi: far away they look ahead; brought to the
# right of the window (within three window heights) they look right within a quarter of a second;
# taken away they return to the centre. "FollowPointer" = 0, taken at /reload, stops it. At 192
# dpi the window is twice as large and every pixel of the eyes a 2 x 2 block.
source "$(dirname "$0")/lib.sh"

ocx_images=$OCX_BUILD/bin/Blinkets
# The left eye of eyesbig.gif is 7,10 to 27,32: its pupil's middle is at 17,21 looking ahead and
# at 24,21 looking right.
pupil_at() {  # screenshot, image x, image y: the colour at that image pixel's block
    pixel "$1" $((WX + $2 * display_scale)) $((WY + $3 * display_scale))
}

for dpi in 96 192; do
    reg_clean
    screen_density "$dpi"
    xdotool mousemove 5 5
    start_ocellix
    close_about
    xdotool mousemove 5 5
    read_window
    expect "window at $dpi dpi" "$((67 * display_scale))x$((40 * display_scale))" \
        "$((WR - WX))x$((WB - WY))"
    wait_until 3 '[ "$(pupil_at "$(shot "far-$dpi")" 17 21)" = 000000 ]' ||
        fail "the pupils do not look ahead with the pointer far away"

    xdotool mousemove $((WR + 2 * (WB - WY))) $(((WY + WB) / 2))
    wait_until 3 '[ "$(pupil_at "$(shot "right-$dpi")" 24 21)" = 000000 ]' ||
        fail "the pupils do not look right with the pointer to the right"
    file=$(shot "right-$dpi")
    expect "no pupil left in the middle" "yes" "$([ "$(pupil_at "$file" 17 21)" != 000000 ] && echo yes)"
    expect_no_key_colour "$file"

    xdotool mousemove 5 5
    wait_until 3 '[ "$(pupil_at "$(shot "back-$dpi")" 17 21)" = 000000 ]' ||
        fail "the pupils did not return to the centre"

    reg_set "" FollowPointer REG_DWORD 0
    expect "/reload" 0 "$(command_code /reload)"
    xdotool mousemove $((WR + 2 * (WB - WY))) $(((WY + WB) / 2))
    sleep 1
    expect "pupil ahead with following off" 000000 "$(pupil_at "$(shot "off-$dpi")" 17 21)"
    expect "/exit" 0 "$(command_code /exit)"
    expect_exit 15 0
done
echo "passed"
