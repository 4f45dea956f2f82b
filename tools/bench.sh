#!/usr/bin/env bash
# Installs what is missing, builds Ocellix, and prints its benchmark: every figure beside a
# floor measured in the same run, as medians, with the ratio. It runs on a virtual display in the
# build's Wine prefix, whose registry it clears of the program's key as the tests do, so do not
# run it while tools/test.sh runs. Names choose figures (all by default):
#   tools/bench.sh [shape] [layout] [catalogue] [runs] [hold] [startup] [follow] [idle]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OCELLIX_BUILD:-$root/build}

"$root/tools/setup.sh"
"$root/tools/build.sh" "$build" >/dev/null

figures=()
idle=$([ $# -eq 0 ] && echo yes || echo no)
for figure in "$@"; do
    if [ "$figure" = idle ]; then
        idle=yes
    else
        figures+=("$figure")
    fi
done

echo "Ocellix benchmark, $(git -C "$root" describe --always --dirty 2>/dev/null || echo "?"):" \
    "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
if [ $# -eq 0 ] || [ ${#figures[@]} -gt 0 ]; then
    (
        source "$root/tools/wine-env.sh" "$build"
        trap ocx_wine_stop EXIT
        ocx_wine_prefix
        ocx_xvfb_start 1024x768x24
        ocx_wine_warm
        wine reg delete 'HKCU\Software\Tarnwick' /f </dev/null >/dev/null 2>&1 || true
        wine "$build/bench/ocellix_bench.exe" "$(winepath -w "$build/bin/ocellix.exe")" \
            "${figures[@]}" </dev/null
        wine reg delete 'HKCU\Software\Tarnwick' /f </dev/null >/dev/null 2>&1 || true
    )
fi
if [ "$idle" = yes ]; then
    "$root/tests/bench/idle-cpu.sh" 20 3
fi
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
