#!/usr/bin/env bash
# The list goes out to a file and comes back, against the running copy: /export writes it with the
# pictures relative to the program's folder; a delete in Options is saved; while Options is up
# /import is refused with 3 and changes nothing; /import then brings the exported list back at
# once, and /restore twice goes to the list it replaced and back again. The registry and the
# window show every step.
source "$(dirname "$0")/lib.sh"

private_program eyesbig.gif eyesbig.gif.eye gear.gif globe.gif
reg_blinket 0 gear.gif 1 "https://gear.example/"
reg_blinket 1 globe.gif 1 "https://globe.example/"
both="gear.gif 1 https://gear.example/
globe.gif 1 https://globe.example/"
globe="globe.gif 1 https://globe.example/"

start_ocellix
close_about
expect_strip before gear.gif globe.gif

list=$e2e_dir/saved.ocellix
expect "/export" 0 "$(command_code /export "$(winpath "$e2e_dir")\\saved.ocellix")"
grep -qx $'ImageFile = REG_SZ .\\\\Blinkets\\\\gear.gif\r' "$list" ||
    fail "the file has no relative picture path: $(cat "$list")"
expect "last line of the file" "[End]" "$(tail -n1 "$list" | tr -d '\r')"

# A change: the first blinket deleted in Options.
expect "/options" 0 "$(command_code /options)"
wait_dialog Options
look_at Options
click_at "$(row_xy 1005 0)"
click_at "$(control_xy 203)"
wait_until 5 'look_at Options; [ "$(rows_of 1005 | wc -l)" = 1 ]' || fail "the delete did not happen"
expect "/import while Options is up" 3 "$(command_code /import "$(winpath "$list")")"
click_close_box Options
wait_dialog_gone Options
expect_strip changed globe.gif

expect "/import" 0 "$(command_code /import "$(winpath "$list")")"
expect "stored after /import" "$both" "$(stored_blinkets)"
expect_strip imported gear.gif globe.gif

expect "/restore" 0 "$(command_code /restore)"
expect "stored after /restore" "$globe" "$(stored_blinkets)"
expect_strip restored globe.gif

expect "/restore again" 0 "$(command_code -RESTORE)"
expect "stored after the second /restore" "$both" "$(stored_blinkets)"
expect_strip restored-again gear.gif globe.gif
keys=$("$WINE" reg query 'HKCU\Software\Tarnwick\Ocellix' /s </dev/null 2>/dev/null | tr -d '\r')
grep -q 'Ocellix\\BlinketsPrevious\\Blinket_00$' <<<"$keys" || fail "no previous list kept: $keys"
grep -q 'BlinketsSaving\|BlinketsSaveStep' <<<"$keys" && fail "a save left its work behind: $keys"

expect "/exit" 0 "$(command_code /exit)"
expect_exit 15 0
echo "passed"
