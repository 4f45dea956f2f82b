#!/usr/bin/env bash
# Installs what is missing, builds Ocellix and runs it under Wine: on your display when there
# is one; otherwise on a virtual display, where it saves screenshots and says where.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OCELLIX_BUILD:-$root/build}

"$root/tools/setup.sh"
"$root/tools/build.sh" "$build"
exe="$build/bin/ocellix.exe"

# The program's settings live in the Wine prefix it runs in: yours (WINEPREFIX or ~/.wine).
export OCX_WINEPREFIX=${WINEPREFIX:-$HOME/.wine}
source "$root/tools/wine-env.sh" "$build"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX (once)..."
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w
fi
ocx_wine_fonts

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec wine "$exe"
fi

echo "No display: running Ocellix on a virtual display."
trap ocx_wine_stop EXIT
ocx_xvfb_start 1024x768x24
shots="$root/shots"
mkdir -p "$shots"
wine "$exe" &

# The About dialog comes first; the main window appears once it is closed.
about=""
for _ in $(seq 60); do
    about=$(xdotool search --onlyvisible --name '^About$' 2>/dev/null | head -n1) && [ -n "$about" ] && break
    sleep 0.5
done
# A desktop colour of its own, so that the window's shape shows in the pictures. Painted only
# now: the display forgets it when its last client leaves, and Wine is connected by now.
desktop="#3a6ea5"
convert -size 16x16 "xc:$desktop" "$shots/.desktop.png"
timeout 20 display -window root "$shots/.desktop.png" >/dev/null 2>&1 || true
rm -f "$shots/.desktop.png"
sleep 1
import -window root "$shots/about.png"
xdotool key Escape
window=""
for _ in $(seq 40); do
    if ! xdotool search --onlyvisible --name '^About$' >/dev/null 2>&1; then
        window=$(xdotool search --onlyvisible --classname '^ocellix\.exe$' 2>/dev/null | head -n1)
        [ -n "$window" ] && break
    fi
    sleep 0.25
done
sleep 1
import -window root "$shots/ocellix.png"
if [ -z "$window" ]; then
    echo "The main window did not appear; see $shots/about.png and $shots/ocellix.png." >&2
    exit 1
fi

# A right click on the first opaque pixel of the window's middle row opens its menu.
eval "$(xdotool getwindowgeometry --shell "$window")"
middle=$((Y + HEIGHT / 2))
offset=$(convert "$shots/ocellix.png" -crop "${WIDTH}x1+$X+$middle" +repage txt:- |
    awk -v desktop="$desktop" 'NR > 1 && tolower($3) != desktop {sub(/,.*/, "", $1); print $1; exit}')
xdotool mousemove $((X + ${offset:-0})) "$middle" click 3
sleep 1
import -window root "$shots/menu.png"
xdotool key Escape
echo "Screenshots in $shots: about.png (the About dialog), ocellix.png (the main window) and"
echo "menu.png (its menu, opened with a right click)."
