#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages that building, running and testing Ocellix need, or the
# packages named as arguments, and only those that are missing.
set -euo pipefail

packages=(cmake make wine wine64 fonts-wine xvfb g++-mingw-w64-x86-64-posix googletest
          xdotool imagemagick x11-utils x11-xserver-utils xauth nsis)
[ $# -eq 0 ] || packages=("$@")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
