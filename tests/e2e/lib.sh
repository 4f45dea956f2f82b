# Sourced by every end-to-end script. It finds a display (or exits 77 when none can be had),
# cleans the program's registry before and after, ends what the script started, and offers
# helpers to run Ocellix, look at it from outside, work its dialogs and photograph the screen.
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
# Window pixels per image pixel: 2 and more on a dense screen (screen_density sets it).
display_scale=1

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
    pictures_clean
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

# The pictures Ocellix made from programs' icons, in the user's folder of the prefix.
pictures_clean() {
    rm -rf "${WINEPREFIX:?}"/drive_c/users/*/AppData/Local/Ocellix
}

reg_clean() {
    "$WINE" reg delete 'HKCU\Software\Tarnwick' /f </dev/null >/dev/null 2>&1 || true
}

# A busy Wine now and then turns a command away: each is tried again once, and a value that
# still cannot be had stops the script rather than let it go on with a registry not as meant.
reg_set() {  # key below HKCU\Software\Tarnwick\Ocellix (or ""), value, type, data
    local key='HKCU\Software\Tarnwick\Ocellix' try
    [ -z "$1" ] || key="$key\\$1"
    for try in 1 2; do
        "$WINE" reg add "$key" /v "$2" /t "$3" /d "$4" /f </dev/null >/dev/null 2>&1 && return
    done
    fail "could not write $2 of $key"
}

reg_dword() {  # value of the settings key, printed in decimal; false when missing
    local line
    line=$("$WINE" reg query 'HKCU\Software\Tarnwick\Ocellix' /v "$1" </dev/null 2>/dev/null |
        tr -d '\r' | grep -i "REG_DWORD") || return 1
    printf '%d\n' "$(echo "$line" | awk '{print $NF}')"
}

# The Windows path of a file of this machine.
winpath() {
    local path try
    for try in 1 2; do
        path=$("$WINE" winepath -w "$1" </dev/null 2>/dev/null | tr -d '\r')
        [ -z "$path" ] || { echo "$path"; return; }
    done
    fail "no Windows path for $1"
}

start_ocellix() {  # [arguments before the program, e.g. explorer /desktop=...] [-- its own]
    local before=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do
        before+=("$1")
        shift
    done
    [ $# -eq 0 ] || shift
    "$WINE" "${before[@]}" "$OCX_EXE" "$@" </dev/null >/dev/null 2>&1 &
    ocx_pid=$!
    # The display forgets the desktop colour when its last client leaves: paint it again once
    # the program is connected.
    wait_until 20 'xdotool search --classname "^(ocellix|explorer)\.exe$" >/dev/null 2>&1' || true
    paint_desktop
}

# Runs a copy of the program with a command until it ends, and prints its exit code; what it
# printed is kept in $e2e_dir/printed.
command_code() {  # arguments
    local code=0
    "$WINE" "$OCX_EXE" "$@" </dev/null >"$e2e_dir/printed" 2>&1 || code=$?
    echo "$code"
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

# Sets WX, WY, WR, WB (window), RX, RY, RR, RB (region box, window coordinates) and WM (the
# monitor's device name).
read_window() {
    local output
    output=$(probe "$@" window) || fail "no main window"
    read -r _ WX WY WR WB < <(echo "$output" | grep '^rect') || fail "window without rect"
    read -r _ RX RY RR RB _ < <(echo "$output" | grep '^region') || fail "window without region"
    read -r _ WM _ < <(echo "$output" | grep '^monitor') || WM=""
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

# Paints the desktop (the X root) one colour, so that what shows through the shape is known. Not
# with ImageMagick's display: it gives up once a Wine process has asked for raw mouse input, as
# Ocellix does, for the rest of the Wine session.
paint_desktop() {
    # A solid colour the server keeps; a picture set by a client can go with the client.
    xsetroot -solid "#$desktop_hex" || true
}

# Sets the screen density for the programs started from now on (it is read at their start) and
# puts the previous one back however the script ends.
screen_density() {  # dots per inch
    local key='HKCU\Control Panel\Desktop' previous
    if [ -z "${density_restored:-}" ]; then
        density_restored=1
        previous=$("$WINE" reg query "$key" /v LogPixels </dev/null 2>/dev/null | tr -d '\r' |
            awk '/LogPixels/ {print $NF}') || true
        e2e_cleanups+=("\"\$WINE\" reg add '$key' /v LogPixels /t REG_DWORD /d $((${previous:-96})) /f </dev/null >/dev/null 2>&1")
    fi
    "$WINE" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
    # Whole enlargements only: strip_fault compares block for block.
    display_scale=$(($1 % 96 == 0 && $1 >= 96 ? $1 / 96 : 0))
}

# ---------------------------------------------------------------------------------------------
# Dialogs, their controls and the blinkets, as the scripts act on them.

# Runs a copy of the program with a Blinkets folder of its own holding the named images (and their
# eye files) of the build's folder, so that the dialogs offer exactly those.
private_program() {  # image file names
    local app=$e2e_dir/app image
    mkdir -p "$app/Blinkets"
    cp "$OCX_EXE" "$app/ocellix.exe"
    for image in "$@"; do
        cp "$OCX_BUILD/bin/Blinkets/$image" "$app/Blinkets/"
        [ ! -f "$OCX_BUILD/bin/Blinkets/$image.eye" ] ||
            cp "$OCX_BUILD/bin/Blinkets/$image.eye" "$app/Blinkets/"
    done
    OCX_EXE=$app/ocellix.exe
    ocx_images=$app/Blinkets
}

# Stores blinket N of the list: an image of the private Blinkets folder, its action and string.
reg_blinket() {  # number, image[:frame], action code, action string
    local key image=${2%%:*} frame=0
    key=$(printf 'Blinkets\\Blinket_%02d' "$1")
    [ "$image" = "$2" ] || frame=${2#*:}
    reg_set "$key" ImageFile REG_SZ "$(winpath "$ocx_images/$image")"
    reg_set "$key" ActionCmd REG_DWORD "$3"
    reg_set "$key" ActionString REG_SZ "$4"
    reg_set "$key" ImagePos REG_DWORD "$frame"
}

# A text as a .reg file quotes it.
reg_quoted() {
    local text=${1//\\/\\\\}
    printf '"%s"' "${text//\"/\\\"}"
}

# Stores the whole list with one Wine process rather than a few per value: blinket N is the Nth
# argument, "image[:frame]|action code|action string" with an image of the private Blinkets
# folder, or with the full Windows path of an image anywhere.
reg_blinkets() {  # entry...
    local file=$e2e_dir/blinkets.reg n=0 entry image frame action text try
    {
        printf 'Windows Registry Editor Version 5.00\r\n'
        for entry in "$@"; do
            IFS='|' read -r image action text <<<"$entry"
            frame=0
            if [[ $image != [A-Za-z]:\\* ]]; then
                [ "${image%%:*}" = "$image" ] || frame=${image#*:}
                image="Z:${ocx_images//\//\\}\\${image%%:*}"
            fi
            printf '\r\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\Ocellix\\Blinkets\\Blinket_%02d]\r\n' "$n"
            printf '"ImageFile"=%s\r\n"ActionCmd"=dword:%08x\r\n' "$(reg_quoted "$image")" "$action"
            printf '"ActionString"=%s\r\n"ImagePos"=dword:%08x\r\n' "$(reg_quoted "$text")" "$frame"
            n=$((n + 1))
        done
    } >"$file"
    for try in 1 2; do
        "$WINE" reg import "Z:${file//\//\\}" </dev/null >/dev/null 2>&1 && return
    done
    fail "could not store the list of blinkets"
}

# The stored list, one line per blinket: "image[:frame] action string", in key order.
stored_blinkets() {
    local n=0 key values
    while key=$(printf 'HKCU\\Software\\Tarnwick\\Ocellix\\Blinkets\\Blinket_%02d' "$n") &&
        values=$("$WINE" reg query "$key" </dev/null 2>/dev/null | tr -d '\r'); do
        echo "$values" | awk '
            function rest(first,  s, i) { s = $first; for (i = first + 1; i <= NF; i++) s = s " " $i; return s }
            function number(hex,  v, i) {
                hex = tolower(substr(hex, 3))
                for (i = 1; i <= length(hex); i++) v = v * 16 + index("0123456789abcdef", substr(hex, i, 1)) - 1
                return v + 0 }
            $1 == "ImageFile" { n = split(rest(3), parts, "\\"); image = parts[n] }
            $1 == "ImagePos" { frame = number($3) }
            $1 == "ActionCmd" { action = number($3) }
            $1 == "ActionString" { text = NF > 2 ? rest(3) : "" }
            END { print image (frame ? ":" frame : "") " " action (text == "" ? "" : " " text) }'
        n=$((n + 1))
    done
}

stored_location() {
    "$WINE" reg query 'HKCU\SOFTWARE\Tarnwick\Blinkets' /v Location </dev/null 2>/dev/null |
        tr -d '\r' | awk '$1 == "Location" { s = $3; for (i = 4; i <= NF; i++) s = s " " $i; print s }'
}

# What the probe sees of a dialog, kept in $seen for the helpers below. A dialog busy with a
# command (a delete, a refill) may be missed once, so the probe asks again for a while.
look_at() {  # title
    wait_until 5 "seen=\$(probe dialog '$1')" || fail "no dialog $1"
}

wait_dialog() {  # title [seconds]
    wait_until "${2:-15}" "probe dialog '$1' >/dev/null" || fail "no dialog $1"
}

wait_dialog_gone() {  # title [seconds]
    wait_until "${2:-15}" "! probe dialog '$1' >/dev/null" || fail "dialog $1 did not close"
}

# The middle of a control, of a row of a list view or of a tree item, from $seen.
control_xy() {  # id
    echo "$seen" | awk -v id="$1" '$1 == "control" && $2 == id {
        print int(($4 + $6) / 2), int(($5 + $7) / 2); found = 1; exit } END { exit !found }'
}

row_xy() {  # list id, row
    echo "$seen" | awk -v id="$1" -v row="$2" '$1 == "row" && $2 == id && $3 == row {
        print int(($4 + $6) / 2), int(($5 + $7) / 2); found = 1; exit } END { exit !found }'
}

item_xy() {  # tree item text
    # Through the environment: awk would read escapes into a -v value.
    echo "$seen" | name=$1 awk '$1 == "item" {
        name = ENVIRON["name"]
        text = $11; for (i = 12; i <= NF; i++) text = text " " $i
        if (text == name) { print int(($4 + $6) / 2), int(($5 + $7) / 2); found = 1; exit } }
        END { exit !found }'
}

# The rows of a list view, one line each: "image text", the selected one marked with a "*".
rows_of() {  # list id
    echo "$seen" | awk -v id="$1" '$1 == "row" && $2 == id {
        text = $11; for (i = 12; i <= NF; i++) text = text " " $i
        print ($8 ? "*" : "") $10 (text == "" ? "" : " " text) }'
}

# The tree items in view, one line each: indentation by depth, "+" open or "-" not, the text,
# and a "*" on the selected one.
items_of() {
    echo "$seen" | awk '$1 == "item" {
        text = $11; for (i = 12; i <= NF; i++) text = text " " $i
        printf "%*s%s%s%s\n", 2 * $3, "", ($8 ? "+" : "-"), text, ($9 ? " *" : "") }'
}

value_of() {  # control id
    echo "$seen" | awk -v id="$1" '$1 == "value" && $2 == id {
        text = $3; for (i = 4; i <= NF; i++) text = text " " $i; print text }'
}

focus_of() {
    echo "$seen" | awk '$1 == "focus" { print $2 }'
}

click_at() {  # "x y"
    local x y
    read -r x y <<<"$1"
    [ -n "$x" ] && [ -n "$y" ] || fail "nowhere to click"
    xdotool mousemove "$x" "$y" click 1
}

double_click_at() {  # "x y"
    local x y
    read -r x y <<<"$1"
    [ -n "$x" ] && [ -n "$y" ] || fail "nowhere to click"
    xdotool mousemove "$x" "$y" click --repeat 2 --delay 100 1
}

click_close_box() {  # title
    local x y
    read -r _ x y < <(probe dialog "$1" | grep '^close') || fail "$1 has no close box"
    xdotool mousemove "$x" "$y" click 1
}

# Every control with an id lies inside the dialog's client area and over no other.
expect_tidy_dialog() {  # title
    look_at "$1"
    local faults
    faults=$(echo "$seen" | awk '
        $1 == "client" { cl = $2; ct = $3; cr = $4; cb = $5 }
        $1 == "control" && $2 != 0 && $9 {
            if ($4 < cl || $5 < ct || $6 > cr || $7 > cb) print "control " $2 " reaches out of the client area"
            for (j = 0; j < n; j++)
                if ($4 < r[j] && l[j] < $6 && $5 < b[j] && t[j] < $7) print "controls " id[j] " and " $2 " overlap"
            id[n] = $2; l[n] = $4; t[n] = $5; r[n] = $6; b[n] = $7; n++ }')
    [ -z "$faults" ] || fail "$1: $faults"
    echo "ok: $1 is tidy"
}

# The item at position (1-based) of the popup menu on screen, clicked.
click_menu_item() {  # position
    read_menu
    local items=3 inner=$((MB - MY - 6))
    xdotool mousemove $((MX + 20)) $((MY + 3 + inner * (2 * $1 - 1) / (2 * items))) click 1
}

# A hold on the point, released once the menu is up.
hold_at() {  # x, y
    xdotool mousemove "$1" "$2" mousedown 1
    wait_until 5 menu_up || { xdotool mouseup 1; fail "no menu after a hold"; }
    xdotool mouseup 1
}

# Where the window's picture differs from the images side by side in this order, each as its
# file shows it (pupils aside) on the desktop colour, enlarged display_scale times pixel by pixel,
# and followed by the gap; nothing when it does not.
strip_fault() {  # screenshot, image[:frame]...
    local file=$1 x=0 entry image frame w h side differ s=$display_scale
    shift
    for entry in "$@"; do
        image=${entry%%:*}
        frame=0
        [ "$image" = "$entry" ] || frame=${entry#*:}
        read -r w h < <(identify -format '%w %h\n' "$ocx_images/$image[0]")
        side=$w
        [ "$w" -lt $((2 * h)) ] || side=$h
        convert "$ocx_images/$image[0]" -crop "${side}x$h+$((frame * side))+0" +repage \
            -fill "#$desktop_hex" -opaque "#$key_hex" -background "#$desktop_hex" -flatten \
            -sample "$((100 * s))%" "$e2e_dir/expected.png"
        convert "$file" -crop "$((side * s))x$((h * s))+$((WX + x))+$WY" +repage "$e2e_dir/seen.png"
        differ=$(compare -metric AE -fuzz 8% "$e2e_dir/expected.png" "$e2e_dir/seen.png" null: 2>&1 || true)
        if ! [ "${differ%%.*}" -le $((side * h * s * s / 8)) ] 2>/dev/null; then
            echo "$entry is not at x $x of the window ($differ pixels differ)"
            return
        fi
        x=$((x + (side + 5) * s))
    done
    [ "$x" = $((WR - WX)) ] || echo "the window is $((WR - WX)) wide, not $x"
}

# The window shows the images side by side in this order. The screenshot, kept under the name
# and in $strip_shot, is taken again while the window may still be painting its new layout. The
# pointer goes to the screen's corner first, out of the eyes' reach, so that they rest at the
# centre wherever the script or the one before left it.
expect_strip() {  # screenshot name, image[:frame]...
    local name=$1 deadline=$((SECONDS + 10)) fault
    shift
    xdotool mousemove 0 0
    while :; do
        read_window
        strip_shot=$(shot "$name")
        fault=$(strip_fault "$strip_shot" "$@")
        [ -n "$fault" ] || break
        [ "$SECONDS" -lt "$deadline" ] || fail "$fault"
        # A display that reset when a program of an earlier step left has lost its colour.
        [ "$(pixel "$strip_shot" 0 0)" = "$desktop_hex" ] || paint_desktop
        sleep 0.5
    done
    echo "ok: the window shows $*"
}

trap e2e_finish EXIT
if ! { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
    command -v Xvfb >/dev/null || { echo "no display can be had"; exit 77; }
    source "$OCX_ROOT/tools/wine-env.sh" "$OCX_BUILD"
    ocx_xvfb_start 1024x768x24 || { echo "no display can be had"; exit 77; }
fi
for tool in xdotool import convert xsetroot; do
    command -v "$tool" >/dev/null || fail "$tool is missing (tools/setup.sh installs it)"
done
window_up && fail "another Ocellix is running on this display"
reg_clean
pictures_clean
