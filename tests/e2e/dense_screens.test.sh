#!/usr/bin/env bash
# At every density the window lies wholly on the 1024 x 768 screen, as high as the big eyes (40
# pixels) enlarged dpi / 96 times, within a pixel, with its middle 26 x dpi / 96 pixels (rounded)
# above the bottom. Where the enlargement is not whole, the edge of the eyes shows no blend of the
# key colour. Two densities are the screen's at start-up; the others reach the running window as
# a move onto a monitor of that density would tell it. The density is put back however the test
# ends.
source "$(dirname "$0")/lib.sh"

ocx_images=$OCX_BUILD/bin/Blinkets

# Pixels of the screenshot's window area of a purplish hue: the key colour blended into an edge.
# Neither the eyes (white, greys, dark blue) nor the desktop are.
fringe_count() {  # screenshot
    convert "$1" -crop "$((WR - WX))x$((WB - WY))+$WX+$WY" +repage \
        -fx '(r - g > 0.15 && b - g > 0.15) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:
}

within() {  # what, allowed, a, b: |a - b| <= allowed
    local difference=$(($3 - $4))
    [ "${difference#-}" -le "$2" ] || fail "$1: $3 is not within $2 of $4"
    echo "ok: $1 ($3, $4)"
}

expect_laid_out_for() {  # dots per inch
    local dpi=$1
    read_window
    expect "$dpi dpi: the window lies on the screen" "yes" \
        "$([ "$WX" -ge 0 ] && [ "$WY" -ge 0 ] && [ "$WR" -le "$SW" ] && [ "$WB" -le "$SH" ] && echo yes)"
    within "$dpi dpi: height x 96 against 40 x dpi" 96 $((96 * (WB - WY))) $((40 * dpi))
    within "$dpi dpi: the middle, twice, above the bottom" 1 $((WY + WB)) \
        $((2 * (SH - (26 * dpi + 48) / 96)))
    expect "$dpi dpi: the shape lies in the window" "yes" \
        "$([ "$RX" -ge 0 ] && [ "$RY" -ge 0 ] && [ "$RR" -le $((WR - WX)) ] &&
            [ "$RB" -le $((WB - WY)) ] && echo yes)"
}

expect_no_fringe() {  # name
    wait_until 5 'file=$(shot "$1"); [ "$(fringe_count "$file")" = 0 ]' ||
        fail "$1: $(fringe_count "$file") pixels of the key colour's hue at the edge"
    expect_no_key_colour "$file"
}

for start in 144 288; do
    screen_density "$start"
    start_ocellix
    close_about
    read_screen
    expect "pixels per inch" "$start" "$DPI"
    expect_laid_out_for "$start"
    [ "$start" != 144 ] || expect_no_fringe window-144
    if [ "$start" = 144 ]; then
        for dpi in 120 168 192 216 240; do
            probe dpi "$dpi" >/dev/null || fail "no window to tell of $dpi dpi"
            expect_laid_out_for "$dpi"
            [ "$dpi" != 168 ] || expect_no_fringe window-168
        done
    fi
    probe close >/dev/null
    expect_exit 15 0
done
echo "passed"
