#!/usr/bin/env bash
# A tap on a "Run: Program" blinket starts its program; every tap is recorded as xTap and yTap
# in client pixels; a tap on a blinket without an action only records the point.
source "$(dirname "$0")/lib.sh"

blinkets=$OCX_BUILD/bin/Blinkets
cp "$blinkets/gear.gif" "$blinkets/terminal.gif" "$e2e_dir/"
cp "$OCX_MARKER" "$e2e_dir/marker.exe"
marker=$e2e_dir/marker.exe.ran
reg_set 'Blinkets\Blinket_00' ImageFile REG_SZ "$(winpath "$e2e_dir/gear.gif")"
reg_set 'Blinkets\Blinket_00' ActionCmd REG_DWORD 0
reg_set 'Blinkets\Blinket_01' ImageFile REG_SZ "$(winpath "$e2e_dir/terminal.gif")"
reg_set 'Blinkets\Blinket_01' ActionCmd REG_DWORD 2
reg_set 'Blinkets\Blinket_01' ActionString REG_SZ "$(winpath "$e2e_dir/marker.exe")"

start_ocellix
close_about
read_window
expect "window width" 106 $((WR - WX))
file=$(shot window)

tap() {  # client x, y
    [ "$(pixel "$file" $((WX + $1)) $((WY + $2)))" != "$desktop_hex" ] ||
        fail "($1, $2) is not on a blinket"
    xdotool mousemove $((WX + $1)) $((WY + $2)) click 1
}

tap 77 24
wait_until 15 '[ -f "$marker" ]' || fail "the program did not start"
expect "xTap" 77 "$(reg_dword xTap)"
expect "yTap" 24 "$(reg_dword yTap)"

rm -f "$marker"
sleep 0.6  # no double click
tap 14 24
wait_until 10 '[ "$(reg_dword xTap)" = 14 ]' || fail "the second tap was not recorded"
sleep 2
[ ! -f "$marker" ] || fail "a tap on the blinket without an action started the program"
echo "passed"
