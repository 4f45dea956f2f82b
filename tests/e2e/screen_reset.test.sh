#!/usr/bin/env bash
# The window starts at the stored "position"; a settings reset (the screen was rotated or
# resized) centres it again, while any other setting change leaves it where it is.
source "$(dirname "$0")/lib.sh"

reg_set "" position REG_DWORD 100
start_ocellix
close_about
read_screen
read_window
expect "window x at position 100" 67 "$WX"

probe reset 0x2f >/dev/null || fail "no window to send to"
read_window
expect "window x after another setting" 67 "$WX"

probe reset >/dev/null || fail "no window to send to"
wait_until 5 'read_window; [ "$WX" = $((SW / 2 - 33)) ]' || fail "not centred again ($WX)"
expect "window y" $((SH - 26 - 20)) "$WY"
expect_no_key_colour "$(shot centred)"
echo "passed"
