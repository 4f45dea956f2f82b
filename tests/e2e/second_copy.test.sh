#!/usr/bin/env bash
# A second copy finds the running one, brings it to the front where it stands, shows nothing
# and ends with code 0; the first one runs on.
source "$(dirname "$0")/lib.sh"

start_ocellix
close_about
read_window
first=$(probe window | grep '^rect')
first_pid=$ocx_pid

start_ocellix
expect_exit 20 0
about_up && fail "the second copy showed the About dialog"
expect "ocellix.exe processes" "processes 1" "$(probe processes | tail -n1)"
expect "the first window" "$first" "$(probe window | grep '^rect')"
probe window | grep -q '^style [0-9a-f]* [0-9a-f]*[89a-f]$' || fail "the first window is not topmost"

ocx_pid=$first_pid
probe close >/dev/null
expect_exit 15 0
echo "passed"
