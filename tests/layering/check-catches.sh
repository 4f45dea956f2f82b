#!/usr/bin/env bash
# The layering check itself: quiet on a tree whose includes run downward, and naming the file and
# line of an include that runs up or sideways.
set -euo pipefail
check="$(dirname "$0")/check-includes.sh"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/base" "$tree/model" "$tree/store" "$tree/controls" "$tree/app"
printf '#include "base/Handles.h"\n#include "model/Blinket.h"\n' >"$tree/app/Main.cpp"
printf '#include <windows.h>\n' >"$tree/base/Handles.h"
printf '#include "base/Handles.h"\n' >"$tree/model/Blinket.h"
"$check" "$tree" >/dev/null

printf '#include <windows.h>\n#include "app/Main.h"\n' >"$tree/base/Handles.h"
printf '#include "controls/Button.h"\n' >"$tree/store/RegKey.h"
if out=$("$check" "$tree" 2>&1); then
    echo "FAIL: upward and sideways includes passed" >&2
    exit 1
fi
for expected in 'base/Handles.h:2: base/ (floor 1) includes app/ (floor 7)' \
                'store/RegKey.h:1: store/ (floor 3) includes controls/ (floor 3)'; do
    grep -qF "$expected" <<<"$out" || { echo "FAIL: missing \"$expected\" in: $out" >&2; exit 1; }
done

# Units of one folder that include each other in a circle.
printf '#include "app/Main.h"\n' >"$tree/app/Menu.cpp"
printf '#include "base/Handles.h"\n' >"$tree/base/Handles.h"
printf '' >"$tree/store/RegKey.h"
"$check" "$tree" >/dev/null
printf '#include "app/Menu.h"\n' >"$tree/app/Main.h"
if out=$("$check" "$tree" 2>&1); then
    echo "FAIL: a circle of units passed" >&2
    exit 1
fi
grep -qE 'app/: its units include each other in a circle: .*(Main|Menu)' <<<"$out" ||
    { echo "FAIL: the circle is not named in: $out" >&2; exit 1; }
echo "The check passes a clean tree and names each wrong include and each circle."
