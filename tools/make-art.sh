#!/usr/bin/env bash
# Regenerates every picture of resources/images and resources/blinkets (with the eye files),
# installing the Python imaging packages first when they are missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

missing=()
for p in python3 python3-pil python3-numpy; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Debian's own interpreter: the one the packages above install into.
exec /usr/bin/python3 "$root/tools/make_art.py" "$root"
