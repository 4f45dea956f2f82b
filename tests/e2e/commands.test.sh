#!/usr/bin/env bash
# Commands handed to the running copy by a second one, which ends with the answer as its exit
# code: /reload rebuilds the window from the registry at once; malformed WM_COPYDATA from another
# program changes nothing; /about opens About, and while it is up /options is refused with 3 and
# About is brought back to the front; with the menu up /reload is refused and the menu stays;
# /options opens Options; /reload of an emptied list shows the default blinket; /exit ends the
# running copy with 0.
source "$(dirname "$0")/lib.sh"

private_program eyesbig.gif eyesbig.gif.eye gear.gif
reg_blinket 0 eyesbig.gif 3 "Show Options"

start_ocellix
close_about
read_window
expect "window width" 67 $((WR - WX))

# The list and the position as the registry holds them now, without waiting for a tick.
reg_blinket 1 gear.gif 1 "https://example.org/"
reg_set "" position REG_DWORD 300
expect "/reload" 0 "$(command_code /reload)"
read_window
expect "window left and width after /reload" "240 120" "$WX $((WR - WX))"
expect_strip reloaded eyesbig.gif gear.gif
stored=$(stored_blinkets)

for case in foreign unknown reload-with-data add-nothing add-empty add-odd add-unterminated \
    add-inner-terminator add-relative add-control add-oversize add-huge; do
    expect "reply to $case" "reply 0" "$(probe copydata "$case")"
done
read_window
expect "window after malformed commands" "240 120" "$WX $((WR - WX))"
for title in About Options "Edit Item"; do
    dialog_title=$title dialog_up && fail "a malformed command opened $title"
done
expect "stored list" "$stored" "$(stored_blinkets)"
expect "ocellix.exe processes" "processes 1" "$(probe processes | tail -n1)"

expect "/about" 0 "$(command_code /about)"
wait_dialog About
expect "About's owner" "owner Ocellix" "$(probe dialog About | grep '^owner')"
"$WINE" notepad </dev/null >/dev/null 2>&1 &
notepad=$!
e2e_cleanups+=("kill $notepad")
wait_until 15 'probe foreground | grep -q Notepad' || fail "Notepad did not take the front"
expect "/options while About is up" 3 "$(command_code --OPTIONS)"
wait_until 5 '[ "$(probe foreground)" = "foreground #32770 About" ]' ||
    fail "About was not brought to the front: $(probe foreground)"
dialog_title=Options dialog_up && fail "Options opened over About"
shot busy-about >/dev/null
kill "$notepad"
# Where the keyboard's focus goes once Notepad has gone is the window manager's guess: the close
# box is sure.
click_close_box About
wait_dialog_gone About

xdotool mousemove $((WX + 17)) $((WY + 15)) click 3
wait_until 5 menu_up || fail "no menu after a right click"
expect "/reload while the menu is up" 3 "$(command_code -Reload)"
menu_up || fail "the refused command closed the menu"
xdotool key Escape
wait_until 5 '! menu_up' || fail "the menu stayed"

expect "/options" 0 "$(command_code -options)"
wait_dialog Options
look_at Options
expect "Options's owner" "owner Ocellix" "$(echo "$seen" | grep '^owner')"
expect "Options rows" 2 "$(rows_of 1005 | wc -l)"
click_close_box Options
wait_dialog_gone Options
expect "stored list after Options" "$stored" "$(stored_blinkets)"

# An emptied list brings the default blinket back, as a first start does.
"$WINE" reg delete 'HKCU\Software\Tarnwick\Ocellix\Blinkets' /f </dev/null >/dev/null 2>&1
expect "/reload of an empty list" 0 "$(command_code /reload)"
expect_strip emptied eyesbig.gif

expect "/exit" 0 "$(command_code /EXIT)"
expect_exit 15 0
echo "passed"
