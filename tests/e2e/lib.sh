# Sourced by every end-to-end script. It finds a display (or exits 77 when none can be had),
# cleans the program's registry before and after, ends what the script started, and offers
# helpers to run Ocellix, look at it from outside and photograph the screen.
# CTest sets OCX_EXE, OCX_PROBE, OCX_MARKER, OCX_ROOT, OCX_BUILD, OCX_WINE and WINEPREFIX.
set -euo pipefail

: "${OCX_EXE:?}" "${OCX_PROBE:?}" "${OCX_ROOT:?}" "${OCX_BUILD:?}"
WINE=${OCX_WINE:-wine}
export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

e2e_name=$(basename "$0" .test.sh)
e2e_dir=$(mktemp -d /tmp/ocx-e2e.XXXXXX)
e2e_shots=$OCX_BUILD/tests/e2e/shots
mkdir -p "$e2e_shots"
desktop_hex=3A6EA5
key_hex=800080
ocx_pid=""
e2e_cleanups=()

fail() {
    echo "FAIL ($e2e_name): $*" >&2
    exit 1
}

expect() {  # what, expected, actual
    [ "$2" = "$3" ] || fail "$1: expected $2, got $3"
    echo "ok: $1 = $3"
}

e2e_finish() {
    local status=$?
    if [ -n "$ocx_pid" ] && kill -0 "$ocx_pid" 2>/dev/null; then
        probe close >/dev/null 2>&1 || true
        wait_until 10 '! kill -0 "$ocx_pid" 2>/dev/null' || kill "$ocx_pid" 2>/dev/null || true
    fi
    local cleanup
    for cleanup in "${e2e_cleanups[@]}"; do
        eval "$cleanup" || true
    done
    reg_clean
    rm -rf "$e2e_dir"
    if [ -n "${ocx_xvfb_pid:-}" ]; then
        ocx_wine_stop
    fi
    exit "$status"
}

# Polls a shell condition every fifth of a second; false when it does not hold in time.
wait_until() {  # seconds, condition
    local deadline=$((SECONDS + $1))
    while ! eval "$2"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

probe() {
    "$WINE" "$OCX_PROBE" "$@" </dev/null 2>/dev/null | tr -d '\r'
}

reg_clean() {
    "$WINE" reg delete 'HKCU\Software\Tarnwick' /f </dev/null >/dev/null 2>&1 || true
}

reg_set() {  # key below HKCU\Software\Tarnwick\Ocellix (or ""), value, type, data
    local key='HKCU\Software\Tarnwick\Ocellix'
    [ -z "$1" ] || key="$key\\$1"
    "$WINE" reg add "$key" /v "$2" /t "$3" /d "$4" /f </dev/null >/dev/null 2>&1
}

reg_dword() {  # value of the settings key, printed in decimal; false when missing
    local line
    line=$("$WINE" reg query 'HKCU\Software\Tarnwick\Ocellix' /v "$1" </dev/null 2>/dev/null |
        tr -d '\r' | grep -i "REG_DWORD") || return 1
    printf '%d\n' "$(echo "$line" | awk '{print $NF}')"
}

# The Windows path of a file of this machine.
winpath() {
    "$WINE" winepath -w "$1" </dev/null 2>/dev/null | tr -d '\r'
}

start_ocellix() {  # any arguments go before the program, e.g. explorer /desktop=...
    "$WINE" "$@" "$OCX_EXE" </dev/null >/dev/null 2>&1 &
    ocx_pid=$!
    # The display forgets the desktop colour when its last client leaves: paint it again once
    # the program is connected.
    wait_until 20 'xdotool search --classname "^(ocellix|explorer)\.exe$" >/dev/null 2>&1' || true
    paint_desktop
}

# Waits for the process started last to end and checks its exit code.
expect_exit() {  # seconds, expected code
    local code=0
    wait_until "$1" '! kill -0 "$ocx_pid" 2>/dev/null' || fail "ocellix.exe did not end"
    wait "$ocx_pid" || code=$?
    ocx_pid=""
    expect "exit code" "$2" "$code"
}

dialog_up() { probe "$@" dialog "${dialog_title:-About}" >/dev/null; }
about_up() { dialog_title=About dialog_up "$@"; }
window_up() { probe "$@" window >/dev/null; }
menu_up() { probe menu >/dev/null; }

# Sets SW, SH and DPI from the probe.
read_screen() {
    read -r _ SW SH DPI < <(probe "$@" screen)
}

# Sets WX, WY, WR, WB (window) and RX, RY, RR, RB (region box, window coordinates).
read_window() {
    local output
    output=$(probe "$@" window) || fail "no main window"
    read -r _ WX WY WR WB < <(echo "$output" | grep '^rect') || fail "window without rect"
    read -r _ RX RY RR RB _ < <(echo "$output" | grep '^region') || fail "window without region"
}

# Sets MX, MY, MR, MB: the popup menu's rect.
read_menu() {
    read -r _ MX MY MR MB < <(probe menu | grep '^rect') || fail "no popup menu"
}

# Closes the About dialog with Esc once it is up, and waits for the main window.
close_about() {
    wait_until 30 'about_up '"$*" || fail "no About dialog"
    xdotool key Escape
    wait_until 10 '! about_up '"$*" || fail "Esc did not close the About dialog"
    wait_until 10 'window_up '"$*" || fail "no main window after the About dialog"
}

# A screenshot of the whole screen, kept in the build for a person to look at.
shot() {
    local file="$e2e_shots/$e2e_name-$1.png"
    import -window root "$file"
    echo "$file"
}

pixel() {  # file, x, y: the colour as RRGGBB
    convert "$1" -format "%[hex:u.p{$2,$3}]" info:
}

colour_count() {  # file, RRGGBB
    convert "$1" -fill black +opaque "#$2" -fill white -opaque "#$2" \
        -format '%[fx:round(mean*w*h)]' info:
}

expect_no_key_colour() {
    expect "pixels of the key colour in $(basename "$1")" 0 "$(colour_count "$1" "$key_hex")"
}

# Paints the desktop (the X root) one colour, so that what shows through the shape is known.
paint_desktop() {
    convert -size 16x16 "xc:#$desktop_hex" "$e2e_dir/desktop.png"
    timeout 20 display -window root "$e2e_dir/desktop.png" >/dev/null 2>&1 || true
}

trap e2e_finish EXIT
if ! { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
    command -v Xvfb >/dev/null || { echo "no display can be had"; exit 77; }
    source "$OCX_ROOT/tools/wine-env.sh" "$OCX_BUILD"
    ocx_xvfb_start 1024x768x24 || { echo "no display can be had"; exit 77; }
fi
for tool in xdotool import convert display; do
    command -v "$tool" >/dev/null || fail "$tool is missing (tools/setup.sh installs it)"
done
window_up && fail "another Ocellix is running on this display"
reg_clean
