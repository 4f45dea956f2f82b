#!/usr/bin/env bash
# Measures what Ocellix costs while it idles: runs build/bin/ocellix.exe on a private virtual
# display in the build's Wine prefix, closes the About dialog, and prints the CPU time its
# process used over the given number of seconds (10 by default), read from /proc/<pid>/stat.
# Not a test: a figure for a person to read. Usage: tests/bench/idle-cpu.sh [seconds]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${OCELLIX_BUILD:-$root/build}
seconds=${1:-10}
exe="$build/bin/ocellix.exe"
[ -f "$exe" ] || { echo "Build first: tools/build.sh" >&2; exit 1; }

source "$root/tools/wine-env.sh" "$build"
trap ocx_wine_stop EXIT
ocx_wine_prefix
ocx_xvfb_start 1024x768x24
ocx_wine_warm

wine "$exe" </dev/null >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^About$' >/dev/null 2>&1 && break
    sleep 0.2
done
xdotool key Escape
for _ in $(seq 50); do
    xdotool search --onlyvisible --classname '^ocellix\.exe$' >/dev/null 2>&1 && break
    sleep 0.2
done
sleep 2  # the first paint and layout are start-up, not idling

ticks() {  # user + system time of the process, in clock ticks (fields 14 and 15)
    awk '{print $14 + $15}' "/proc/$pid/stat"
}
hz=$(getconf CLK_TCK)
before=$(ticks)
started=$(date +%s.%N)
sleep "$seconds"
after=$(ticks)
ended=$(date +%s.%N)
kill -0 "$pid" 2>/dev/null || { echo "ocellix.exe ended early" >&2; exit 1; }
awk -v used=$((after - before)) -v total="$after" -v hz="$hz" -v from="$started" -v to="$ended" 'BEGIN {
    wall = to - from
    printf "ocellix.exe idling: %.2f s of CPU in %.1f s (%.2f%%); %.2f s since it started\n",
        used / hz, wall, 100 * used / hz / wall, total / hz
}'
