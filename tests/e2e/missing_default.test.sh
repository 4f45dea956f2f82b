#!/usr/bin/env bash
# A first run without the default image shows the one message box of the program, and no About
# dialog and no window; the program ends with code 0.
source "$(dirname "$0")/lib.sh"

cp "$OCX_EXE" "$e2e_dir/ocellix.exe"
OCX_EXE=$e2e_dir/ocellix.exe
start_ocellix
wait_until 30 'dialog_title=Blinkets dialog_up' || fail "no message box"
box=$(probe dialog Blinkets)
echo "$box" | grep -q '^text Unable to locate the default blinket: eyesbig.gif' ||
    fail "the message box does not say what is missing"
about_up && fail "the About dialog came up"
window_up && fail "a window came up"
shot message >/dev/null
xdotool key Return
expect_exit 15 0
echo "passed"
