#!/usr/bin/env bash
# Commands with no running copy: /reload and /exit do nothing and end with 1. A usage error shows
# the problem and the usage in a message box, prints them too, and ends with 2; /? with 0.
# /options, /about and /add start Ocellix as usual (About first) and then carry the command out;
# /about shows About once.
source "$(dirname "$0")/lib.sh"

private_program eyesbig.gif eyesbig.gif.eye gear.gif
reg_blinket 0 eyesbig.gif 3 "Show Options"
cp "$OCX_MARKER" "$e2e_dir/run.exe"
program=$(winpath "$e2e_dir/run.exe")

expect "/reload" 1 "$(command_code /reload)"
expect "/exit" 1 "$(command_code -exit)"
window_up && fail "a command started Ocellix"

# Each: the arguments, the exit code, the first line shown and printed.
while IFS='|' read -r args code first; do
    # shellcheck disable=SC2086  # the arguments are split as a shell splits them
    "$WINE" "$OCX_EXE" $args </dev/null >"$e2e_dir/printed" 2>&1 &
    ocx_pid=$!
    wait_dialog Ocellix
    look_at Ocellix
    expect "box for $args" "text $first" "$(echo "$seen" | grep '^text' | cut -c1-$((${#first} + 5)))"
    echo "$seen" | grep -q '^text.*Usage: ocellix.exe \[command\]' || fail "the box shows no usage"
    shot "usage-${args//[^a-z]/}" >/dev/null
    click_at "$(control_xy 1)"
    expect_exit 15 "$code"
    expect "printed for $args" "$first" "$(head -n1 "$e2e_dir/printed" | tr -d '\r')"
    grep -q '^/add <file or URL>' "$e2e_dir/printed" || fail "the usage was not printed"
done <<'CASES'
/bogus|2|Unknown command: /bogus
--add|2|/add takes one file or web address; a path with spaces goes in quotes.
/add Z:\nowhere\run.exe|2|Cannot find Z:\nowhere\run.exe
/options now|2|/options takes no arguments.
/?|0|Usage: ocellix.exe [command]
CASES
window_up && fail "a usage error started Ocellix"

start_ocellix -- /options
close_about
wait_dialog Options
expect "Options's owner" "owner Ocellix" "$(probe dialog Options | grep '^owner')"
click_close_box Options
wait_dialog_gone Options
probe close >/dev/null
expect_exit 15 0

start_ocellix -- /about
close_about
# A second About would be up by now, and would make the copy refuse /reload as busy.
expect "/reload after /about started Ocellix" 0 "$(command_code /reload)"
probe close >/dev/null
expect_exit 15 0

start_ocellix -- /add "$program"
close_about
wait_dialog "Edit Item"
look_at "Edit Item"
expect "action" "Run: Program" "$(value_of 1007)"
expect "action string" "$program" "$(value_of 1008)"
gear=$(rows_of 1009 | awk '$2 == "gear.gif" { print NR - 1; exit }')
click_at "$(row_xy 1009 "$gear")"
wait_until 5 'look_at "Edit Item"; rows_of 1009 | grep -q "^\*"' || fail "no picture selected"
click_close_box "Edit Item"
wait_dialog Options
click_close_box Options
wait_dialog_gone Options
expect "stored list" "eyesbig.gif 3 Show Options|gear.gif 2 $program" \
    "$(stored_blinkets | paste -sd'|')"
expect_strip window eyesbig.gif gear.gif
expect "/exit" 0 "$(command_code /exit)"
expect_exit 15 0
echo "passed"
