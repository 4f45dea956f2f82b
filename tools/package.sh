#!/usr/bin/env bash
# Builds an optimised, stripped release of Ocellix and packs it for Windows users as
# dist/ocellix-<version>-windows-x64.zip (ocellix.exe, the Blinkets folder, README.txt and
# LICENSE) and as the installer dist/ocellix-<version>-setup.exe, which installs the same files.
# Usage: tools/package.sh [release build dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${OCELLIX_RELEASE_BUILD:-$root/build-release}}

"$root/tools/setup.sh" cmake make g++-mingw-w64-x86-64-posix nsis
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DOCELLIX_TESTS=OFF >/dev/null
cmake --build "$build" --target release_zip release_setup -j "$(nproc)"
