#!/usr/bin/env bash
# Measures what Ocellix costs while it idles, beside its floor: the benchmark's minimal window
# program, which does the same 2-second work (the window kept on top, the reload request read at
# every tenth tick), idling at the same time. Both run on a private virtual display in the build's
# Wine prefix (with the program's registry cleared, as on a first start). Once Ocellix's About
# dialog is closed and both have settled, the CPU time and the wake-ups (voluntary context
# switches) of each process (all its threads, from /proc) are read over consecutive windows of the
# given seconds, 20 by default: one idle animation each. First with the pointer standing far from
# the window, then moving far away from it, then moving round the window, where the eyes follow
# it. Not a test: figures for a person to read.
# Usage: tests/bench/idle-cpu.sh [seconds] [windows]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${OCELLIX_BUILD:-$root/build}
seconds=${1:-20}
windows=${2:-3}
exe="$build/bin/ocellix.exe"
minimal="$build/bench/ocellix_bench.exe"
[ -f "$exe" ] && [ -f "$minimal" ] || { echo "Build first: tools/build.sh" >&2; exit 1; }

source "$root/tools/wine-env.sh" "$build"
pids=()
mover=""
finish() {
    local pid
    [ -z "$mover" ] || kill "$mover" 2>/dev/null || true
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wine reg delete 'HKCU\Software\Tarnwick' /f </dev/null >/dev/null 2>&1 || true
    ocx_wine_stop
}
trap finish EXIT
ocx_wine_prefix
ocx_xvfb_start 1024x768x24
ocx_wine_warm
wine reg delete 'HKCU\Software\Tarnwick' /f </dev/null >/dev/null 2>&1 || true

wine "$exe" </dev/null >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^About$' >/dev/null 2>&1 && break
    sleep 0.2
done
xdotool key Escape
window=""
for _ in $(seq 50); do
    window=$(xdotool search --onlyvisible --classname '^ocellix\.exe$' 2>/dev/null | head -n1) &&
        [ -n "$window" ] && break
    sleep 0.2
done
wine "$minimal" --minimal-window </dev/null >/dev/null 2>&1 &
pids+=($!)
xdotool mousemove 400 100  # over neither window
sleep 5  # the first paint and layout are start-up, not idling; the pointer is left alone

cpu_ns() {  # nanoseconds on a CPU, summed over the process's threads
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{sum += $1} END {printf "%d\n", sum}'
}

wakeups() {  # voluntary context switches, summed over the process's threads
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '$1 == "voluntary_ctxt_switches:" {sum += $2} END {printf "%d\n", sum}'
}

median_line() {  # what, unit, then "ours floor" lines on stdin
    awk -v n="$windows" -v name="$1" -v unit="$2" '
        { ours[NR] = $1; floors[NR] = $2 }
        function median(a,    i, j, t) {
            for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) {
                t = a[j]; a[j] = a[j - 1]; a[j - 1] = t
            }
            return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
        }
        END {
            o = median(ours); f = median(floors)
            if (f > 0) printf "%-62s %10.4f %-6s %10.4f %-6s %7.2fx\n", name, o, unit, f, unit, o / f
            else printf "%-62s %10.4f %-6s %10.4f %-6s %8s\n", name, o, unit, f, unit, "-"
        }'
}

measure() {  # what the pointer does
    local cpus=() wakes=() window ours floor ourWakes floorWakes started wall pid
    for window in $(seq "$windows"); do
        ours=$(cpu_ns "${pids[0]}")
        floor=$(cpu_ns "${pids[1]}")
        ourWakes=$(wakeups "${pids[0]}")
        floorWakes=$(wakeups "${pids[1]}")
        started=$(date +%s.%N)
        sleep "$seconds"
        ours=$(($(cpu_ns "${pids[0]}") - ours))
        floor=$(($(cpu_ns "${pids[1]}") - floor))
        ourWakes=$(($(wakeups "${pids[0]}") - ourWakes))
        floorWakes=$(($(wakeups "${pids[1]}") - floorWakes))
        wall=$(awk -v to="$(date +%s.%N)" -v from="$started" 'BEGIN {print to - from}')
        for pid in "${pids[@]}"; do
            kill -0 "$pid" 2>/dev/null || { echo "a measured program ended early" >&2; exit 1; }
        done
        cpus+=("$(awk -v o="$ours" -v f="$floor" -v w="$wall" \
            'BEGIN {printf "%.4f %.4f\n", 100 * o / 1e9 / w, 100 * f / 1e9 / w}')")
        wakes+=("$(awk -v o="$ourWakes" -v f="$floorWakes" -v w="$wall" \
            'BEGIN {printf "%.2f %.2f\n", o / w, f / w}')")
        echo "  $1, window $window: Ocellix ${cpus[-1]% *} %, ${wakes[-1]% *} wake-ups/s;" \
            "floor ${cpus[-1]#* } %, ${wakes[-1]#* } wake-ups/s"
    done
    printf '%s\n' "${cpus[@]}" |
        median_line "idle CPU per $seconds s, $1, vs a minimal program" "%"
    printf '%s\n' "${wakes[@]}" |
        median_line "idle wake-ups per second, $1, vs a minimal program" "/s"
}

# A round of points, a step every 50 ms, until killed.
move_round() {  # centre x, centre y, half width, half height
    while :; do
        for step in 0 1 2 3 4 5 6 7; do
            xdotool mousemove $(($1 + (step % 4 - 2) * $3)) $(($2 + (step / 4 * 2 - 1) * $4))
            sleep 0.05
        done
    done
}

eval "$(xdotool getwindowgeometry --shell "$window")"
measure "pointer far"

# In the screen's upper half, far from the window at the bottom and clear of the minimal
# program's in the top left corner.
move_round 400 160 100 60 &
mover=$!
measure "pointer moving far away"
kill "$mover" 2>/dev/null || true

# Round the window, a little over one window height out.
move_round $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) $((WIDTH / 2)) $((3 * HEIGHT / 2)) &
mover=$!
measure "pointer moving near"
