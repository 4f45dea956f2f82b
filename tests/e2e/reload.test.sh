#!/usr/bin/env bash
# Another program asks for a reload through the registry: within one idle period (20 s) the
# window is rebuilt from the images as they are now, and the request is reset to 0.
source "$(dirname "$0")/lib.sh"

blinkets=$OCX_BUILD/bin/Blinkets
cp "$blinkets/gear.gif" "$e2e_dir/blinket.gif"
reg_set 'Blinkets\Blinket_00' ImageFile REG_SZ "$(winpath "$e2e_dir/blinket.gif")"
reg_set 'Blinkets\Blinket_00' ActionCmd REG_DWORD 0

start_ocellix
close_about
read_screen
read_window
expect "window size before" "53x48" "$((WR - WX))x$((WB - WY))"

cp "$blinkets/eyesbig.gif" "$e2e_dir/blinket.gif"
reg_set "" reload REG_DWORD 1
asked=$SECONDS
wait_until 25 '[ "$(reg_dword reload)" = 0 ]' || fail "the reload request was not served"
echo "served after $((SECONDS - asked)) s"
wait_until 5 'read_window; [ $((WR - WX)) = 67 ]' || fail "the window was not rebuilt"
expect "window after" "$((SW / 2 - 33)) $((SH - 26 - 20)) 67x40" \
    "$WX $WY $((WR - WX))x$((WB - WY))"
file=$(shot rebuilt)
expect_no_key_colour "$file"
expect "desktop in the gap" "$desktop_hex" "$(pixel "$file" $((WX + 64)) $((WY + 20)))"
echo "passed"
