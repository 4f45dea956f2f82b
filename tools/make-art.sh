#!/usr/bin/env bash
# Regenerates every picture of resources/images and resources/blinkets (with the eye files),
# installing the Python imaging packages first when they are missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/tools/setup.sh" python3 python3-pil python3-numpy

# Debian's own interpreter: the one the packages above install into.
exec /usr/bin/python3 "$root/tools/make_art.py" "$root"
