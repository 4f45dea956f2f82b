#!/usr/bin/env bash
# Installs what is missing, builds Ocellix and its tests and the release zip, and runs every test
# under Wine on a virtual X display, in a Wine prefix of the build's own. Extra arguments go to
# ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OCELLIX_BUILD:-$root/build}

"$root/tools/setup.sh"
"$root/tools/build.sh" "$build"
# An end-to-end test unpacks the release as a user would.
"$root/tools/package.sh"

source "$root/tools/wine-env.sh" "$build"
trap ocx_wine_stop EXIT
ocx_wine_prefix
# Tests never use the user's display: end-to-end tests move the pointer and take screenshots.
ocx_xvfb_start 1024x768x24
ocx_wine_warm

cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
