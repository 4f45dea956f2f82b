#!/usr/bin/env bash
# Measures what Ocellix costs while it idles, beside its floor: the benchmark's minimal window
# program idling at the same time. Both run on a private virtual display in the build's Wine
# prefix (with the program's registry cleared, as on a first start). Once Ocellix's About dialog
# is closed and both have settled, the CPU time of each process (all its threads, from /proc) is
# read over consecutive windows of the given seconds, 20 by default: one idle animation each.
# First with the pointer far from the window, then with it moving round the window, where the
# eyes follow it. Not a test: figures for a person to read.
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
sleep 3  # the first paint and layout are start-up, not idling

cpu_ns() {  # nanoseconds on a CPU, summed over the process's threads
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{sum += $1} END {printf "%d\n", sum}'
}

measure() {  # what the pointer does
    local samples=() window ours floor started wall pid
    for window in $(seq "$windows"); do
        ours=$(cpu_ns "${pids[0]}")
        floor=$(cpu_ns "${pids[1]}")
        started=$(date +%s.%N)
        sleep "$seconds"
        ours=$(($(cpu_ns "${pids[0]}") - ours))
        floor=$(($(cpu_ns "${pids[1]}") - floor))
        wall=$(awk -v to="$(date +%s.%N)" -v from="$started" 'BEGIN {print to - from}')
        for pid in "${pids[@]}"; do
            kill -0 "$pid" 2>/dev/null || { echo "a measured program ended early" >&2; exit 1; }
        done
        samples+=("$(awk -v o="$ours" -v f="$floor" -v w="$wall" \
            'BEGIN {printf "%.4f %.4f\n", 100 * o / 1e9 / w, 100 * f / 1e9 / w}')")
        echo "  $1, window $window: Ocellix ${samples[-1]% *} %, floor ${samples[-1]#* } % of a core"
    done
    printf '%s\n' "${samples[@]}" | awk -v n="$windows" -v s="$seconds" -v what="$1" '
        { ours[NR] = $1; floors[NR] = $2 }
        function median(a,    i, j, t) {
            for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) {
                t = a[j]; a[j] = a[j - 1]; a[j - 1] = t
            }
            return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
        }
        END {
            o = median(ours); f = median(floors)
            name = sprintf("idle CPU per %d s, %s, vs a minimal program", s, what)
            if (f > 0) printf "%-62s %10.4f %-6s %10.4f %-6s %7.2fx\n", name, o, "%", f, "%", o / f
            else printf "%-62s %10.4f %-6s %10.4f %-6s %8s\n", name, o, "%", f, "%", "-"
        }'
}

xdotool mousemove 0 0
measure "pointer far"

# Round the window, a little over one window height out, a step every 50 ms.
eval "$(xdotool getwindowgeometry --shell "$window")"
(
    while :; do
        for step in 0 1 2 3 4 5 6 7; do
            xdotool mousemove $((X + WIDTH / 2 + (step % 4 - 2) * WIDTH / 2)) \
                $((Y - HEIGHT + (step / 4) * 3 * HEIGHT))
            sleep 0.05
        done
    done
) &
mover=$!
measure "pointer moving near"
