#!/usr/bin/env bash
# The installer (tools/package.sh makes it) run quietly, as a deployment tool runs it: it installs
# for the current user alone into %LOCALAPPDATA%\Programs\Ocellix, with a Start menu shortcut,
# the entry of Settings' installed apps and start at sign-in; an upgrade over the running copy
# replaces the files, keeps the list byte for byte and the user's choice of start at sign-in,
# and starts Ocellix again; an older version refuses to replace a newer one; the registered
# quiet uninstall command returns once everything is gone but, if kept, the list and pictures.
# ocellix.exe /autostart off and on leave the Run value and its switch as Settings writes them.
# Shortcuts would otherwise make Wine write menu entries into this machine's home.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winemenubuilder.exe=d"
source "$(dirname "$0")/lib.sh"

: "${OCX_SETUP:?}" "${OCX_ZIP:?}"
[ -f "$OCX_SETUP" ] || fail "no $OCX_SETUP: tools/package.sh makes it"
version=$(basename "$OCX_SETUP" | sed -n 's/^ocellix-\(.*\)-setup\.exe$/\1/p')
[ -n "$version" ] || fail "$(basename "$OCX_SETUP") does not name a version"
command -v makensis >/dev/null || fail "makensis is missing (tools/setup.sh installs it)"

# Every Wine process costs a good part of a second: what can be asked at once is.
IFS='|' read -r win_local win_roaming win_temp < <("$WINE" cmd /c \
    'echo %LOCALAPPDATA%^|%APPDATA%^|%TEMP%' </dev/null 2>/dev/null | tr -d '\r')
{ read -r local_appdata; read -r roaming; read -r temp; } < <("$WINE" winepath -u "$win_local" \
    "$win_roaming" "$win_temp" </dev/null 2>/dev/null)
[ -d "$local_appdata" ] && [ -d "$roaming" ] && [ -d "$temp" ] ||
    fail "no %LOCALAPPDATA%, %APPDATA% or %TEMP%"
instdir=$local_appdata/Programs/Ocellix
win_instdir=$win_local'\Programs\Ocellix'
data_dir=$local_appdata/Ocellix
shortcut="$roaming/Microsoft/Windows/Start Menu/Programs/Ocellix.lnk"
version_key='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion'

# What the installer writes to the registry, one "key: name TYPE data" line each (keys below
# CurrentVersion): the Uninstall key, and the Run value and its switch.
installed_values() {
    "$WINE" reg query "$version_key" /s </dev/null 2>/dev/null | tr -d '\r' |
        awk -v top="$version_key\\" '
        index($0, top) == 1 { key = substr($0, length(top) + 1); next }
        /^    / && (key == "Uninstall\\Ocellix" ||
                   ((key == "Run" || key == "Explorer\\StartupApproved\\Run") && $1 == "Ocellix")) {
            s = $2; for (i = 3; i <= NF; i++) s = s " " $i; print key ": " $1 " " s }'
}

# The Run value and its switch: "run data" and "switch data", or "missing".
autostart_values() {
    local values
    values=$(installed_values)
    echo "run $(echo "$values" | sed -n 's/^Run: Ocellix REG_SZ //p' | grep . || echo missing)"
    echo "switch $(echo "$values" | sed -n 's/^Explorer\\StartupApproved\\Run: Ocellix REG_BINARY //p' |
        grep . || echo missing)"
}

run_value="\"$win_instdir\\ocellix.exe\""
switch_on=020000000000000000000000

setup_code() {  # setup, arguments
    local code=0
    "$WINE" "$@" </dev/null >"$e2e_dir/setup.log" 2>&1 || code=$?
    echo "$code"
}

files_of() {  # folder
    [ ! -d "$1" ] || (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | paste -sd' ')
}

# Once the uninstall command has returned, the program's folder is empty but for the uninstaller
# itself. Windows lets it move its running file out, and the folder goes with it at once; Wine does
# not, and a copy of it removes both a moment later.
expect_uninstalled() {
    local left
    left=$(files_of "$instdir")
    [ -z "$left" ] || [ "$left" = uninstall.exe ] || fail "left behind: $left"
    wait_until 10 '[ ! -e "$instdir" ]' || fail "left behind: $(find "$instdir" | paste -sd' ')"
    [ ! -e "$shortcut" ] || fail "the shortcut is left"
    expect "registry values left" "" "$(installed_values)"
}

export_list() {  # file
    "$WINE" reg export 'HKCU\Software\Tarnwick' "$(winpath "$1")" /y </dev/null >/dev/null 2>&1 ||
        fail "could not export the list"
}

reg_import() {  # lines of a .reg file
    printf 'Windows Registry Editor Version 5.00\r\n\r\n%s\r\n' "$1" >"$e2e_dir/import.reg"
    "$WINE" reg import "$(winpath "$e2e_dir/import.reg")" </dev/null >/dev/null 2>&1
}

# The prefix is shared: whatever an earlier run left goes, and the user's data folder of other
# tests is put aside and back.
remove_installed() {
    [ ! -f "$instdir/ocellix.exe" ] ||
        "$WINE" "$instdir/ocellix.exe" /exit </dev/null >/dev/null 2>&1 || true
    rm -rf "$instdir" "$shortcut" "$data_dir"
    reg_import "[-$version_key\\Uninstall\\Ocellix]
[$version_key\\Run]
\"Ocellix\"=-
[$version_key\\Explorer\\StartupApproved\\Run]
\"Ocellix\"=-" || true
}
remove_installed
# The uninstaller leaves its own file in the temporary folder, where other tests look.
ls "$temp" >"$e2e_dir/temp-before"
remove_temporary() {
    ls "$temp" | comm -13 "$e2e_dir/temp-before" - | grep '^ns.*\.tmp$' |
        while read -r name; do rm -rf "${temp:?}/$name"; done
}
if [ -e "$data_dir" ]; then
    mv "$data_dir" "$e2e_dir/data-before"
fi
e2e_cleanups+=(remove_installed remove_temporary
    '[ ! -e "$e2e_dir/data-before" ] || mv "$e2e_dir/data-before" "$data_dir"')

# A newer setup of the same files, one whose README tells it apart.
stage=$e2e_dir/stage
newer=$version.1
mkdir -p "$stage"
(cd "$stage" && cmake -E tar xf "$OCX_ZIP")
printf 'Upgraded to %s\r\n' "$newer" >>"$stage/README.txt"
makensis -V1 -DVERSION="$newer" -DSTAGE="$stage" -DOUTFILE="$e2e_dir/setup-newer.exe" \
    "$OCX_ROOT/tools/installer.nsi" || fail "makensis could not make the newer setup"
touch "$e2e_dir/before-install"

# A first quiet install.
expect "quiet install" 0 "$(setup_code "$OCX_SETUP" /S)"
expect "installed files" "$( (files_of "$stage"; echo uninstall.exe) | tr ' ' '\n' | LC_ALL=C sort |
    paste -sd' ')" "$(files_of "$instdir")"
cmp -s "$instdir/ocellix.exe" "$stage/ocellix.exe" ||
    fail "the installed ocellix.exe is not the zip's"
expect "shortcut" "target $win_instdir\\ocellix.exe|arguments |folder $win_instdir|hotkey 0" \
    "$(probe shortcut "$(winpath "$shortcut")" | paste -sd'|')"
values=$(installed_values)
expect "registry after the install" "$(LC_ALL=C sort <<EOF
Uninstall\\Ocellix: DisplayIcon REG_SZ $win_instdir\\ocellix.exe,0
Uninstall\\Ocellix: DisplayName REG_SZ Ocellix
Uninstall\\Ocellix: DisplayVersion REG_SZ $version
Uninstall\\Ocellix: InstallLocation REG_SZ $win_instdir
Uninstall\\Ocellix: NoModify REG_DWORD 0x1
Uninstall\\Ocellix: NoRepair REG_DWORD 0x1
Uninstall\\Ocellix: Publisher REG_SZ Tarnwick
Uninstall\\Ocellix: QuietUninstallString REG_SZ "$win_instdir\\uninstall.exe" /S _?=$win_instdir
Uninstall\\Ocellix: UninstallString REG_SZ "$win_instdir\\uninstall.exe"
Explorer\\StartupApproved\\Run: Ocellix REG_BINARY $switch_on
Run: Ocellix REG_SZ $run_value
EOF
)" "$(echo "$values" | grep -v EstimatedSize | LC_ALL=C sort)"
kilobytes=$(($(echo "$values" | awk '$2 == "EstimatedSize" { print $4 }')))
size=$(du -sk "$instdir" | cut -f1)
[ "$kilobytes" -gt $((size / 2)) ] && [ "$kilobytes" -le $((size * 2)) ] ||
    fail "EstimatedSize $kilobytes KB for $size KB of files"

# A list of the user's, and Ocellix started as the shortcut starts it.
blinket() {  # number, image, action, string
    printf '[HKEY_CURRENT_USER\\Software\\Tarnwick\\Ocellix\\Blinkets\\Blinket_%02d]\r\n' "$1"
    printf '"ImageFile"="%s"\r\n"ActionCmd"=dword:%08x\r\n' \
        "${win_instdir//\\/\\\\}\\\\Blinkets\\\\$2" "$3"
    printf '"ActionString"="%s"\r\n"ImagePos"=dword:00000000\r\n\r\n' "${4//\\/\\\\}"
}
reg_import "$(blinket 0 gear.gif 2 'C:\windows\notepad.exe'
    blinket 1 globe.gif 1 https://example.org/)
[HKEY_CURRENT_USER\\Software\\Tarnwick\\Blinkets]
\"Location\"=\"C:\\\\windows\"" || fail "could not write the list"
reg_set 'Blinkets\Blinket_00' ActionString REG_EXPAND_SZ '%windir%\notepad.exe'
export_list "$e2e_dir/list-before.reg"
OCX_EXE=$instdir/ocellix.exe
ocx_images=$instdir/Blinkets
start_ocellix
close_about
expect_strip running gear.gif globe.gif

# Off as Settings turns it off: Run stays, the switch says off since now; off again keeps that.
expect "/autostart off" 0 "$(command_code /autostart off)"
off=$(autostart_values)
expect "Run after off" "run $run_value" "$(echo "$off" | head -n1)"
[[ $(echo "$off" | tail -n1) =~ ^switch\ 03000000([0-9A-F]{16})$ ]] || fail "after off: $off"
# The FILETIME's eight bytes, least significant first.
filetime=$(echo "${BASH_REMATCH[1]}" | sed 's/\(..\)/\1 /g' |
    awk '{ for (i = 8; i >= 1; i--) printf "%s", $i }')
seconds=$((0x$filetime / 10000000 - 11644473600))
[ $((seconds - $(date +%s))) -le 5 ] && [ $(($(date +%s) - seconds)) -le 60 ] ||
    fail "the switch was turned off at $(date -d "@$seconds"), not now"
echo "ok: Run kept, the switch turned off at $(date -d "@$seconds" +%T)"
expect "/autostart off again" 0 "$(command_code /autostart off)"
expect "after off again" "$off" "$(autostart_values)"

# The upgrade ends the running copy, replaces the files, keeps the list and the choice, and starts
# Ocellix again.
expect "quiet upgrade over the running copy" 0 "$(setup_code "$e2e_dir/setup-newer.exe" /S)"
expect_exit 10 0
readme_end() { tail -n1 "$instdir/README.txt" | tr -d '\r'; }
expect "README after the upgrade" "Upgraded to $newer" "$(readme_end)"
values=$(installed_values)
expect "version after the upgrade" "$newer" \
    "$(echo "$values" | awk '$2 == "DisplayVersion" { print $4 }')"
expect "after the upgrade" "$off" "$(autostart_values)"
close_about
expect_strip upgraded gear.gif globe.gif
export_list "$e2e_dir/list-upgraded.reg"
cmp "$e2e_dir/list-before.reg" "$e2e_dir/list-upgraded.reg" || fail "the upgrade changed the list"
echo "ok: the list is byte for byte the same"

expect "/autostart on" 0 "$(command_code /autostart on)"
expect "after on" "run $run_value|switch $switch_on" "$(autostart_values | paste -sd'|')"
values=$(installed_values)

# Quietly, an older version does not replace a newer one, nor end it.
expect "older over newer" 3 "$(setup_code "$OCX_SETUP" /S)"
expect "README after the refusal" "Upgraded to $newer" "$(readme_end)"
window_up || fail "the refused install ended Ocellix"

# While a dialog keeps Ocellix busy, neither a quiet setup nor a quiet uninstall waits for the
# user or changes anything.
quiet=$(echo "$values" | sed -n 's/^Uninstall\\Ocellix: QuietUninstallString REG_SZ //p')
files=$(files_of "$instdir")
expect "/options" 0 "$(command_code /options)"
wait_dialog Options
expect "setup while Options is open" 2 "$(setup_code "$e2e_dir/setup-newer.exe" /S)"
expect "uninstall while Options is open" "exit 2" "$(probe run "$quiet")"
expect "files after both" "$files" "$(files_of "$instdir")"
expect "registry after both" "$values" "$(installed_values)"
wait_dialog Options
click_close_box Options
wait_dialog_gone Options
# Options saved the list as it closed.
export_list "$e2e_dir/list-before.reg"

# The registered quiet uninstall, run as a deployment tool runs it, returns when it is done. It
# ends Ocellix, and keeps the list and the pictures.
mkdir -p "$data_dir/Pictures"
cp "$stage/Blinkets/gear.gif" "$data_dir/Pictures/notepad.gif"
expect "quiet uninstall" "exit 0" "$(probe run "$quiet")"
window_up && fail "Ocellix still runs after the uninstall"
expect_uninstalled
export_list "$e2e_dir/list-kept.reg"
cmp "$e2e_dir/list-before.reg" "$e2e_dir/list-kept.reg" || fail "the uninstall changed the list"
expect "pictures kept" "Pictures/notepad.gif" "$(files_of "$data_dir")"

# Installed again without start at sign-in, and uninstalled with the user's data: nothing is left,
# not even a picture the user put into the Blinkets folder.
expect "quiet install without autostart" 0 "$(setup_code "$OCX_SETUP" /S /NOAUTOSTART)"
expect "without autostart" "run missing|switch missing" "$(autostart_values | paste -sd'|')"
window_up && fail "a first install started Ocellix"
cp "$stage/Blinkets/gear.gif" "$instdir/Blinkets/mine.gif"
expect "quiet uninstall removing the list" "exit 0" \
    "$(probe run "\"$win_instdir\\uninstall.exe\" /S /REMOVEDATA _?=$win_instdir")"
expect_uninstalled
[ ! -e "$data_dir" ] || fail "left behind: $(find "$data_dir" | paste -sd' ')"
"$WINE" reg query 'HKCU\Software\Tarnwick' </dev/null >/dev/null 2>&1 && fail "the list is left"

# Nothing outside the user's folders was written.
outside=$(cd "$WINEPREFIX/drive_c" &&
    find . -newer "$e2e_dir/before-install" -not -path './users/*' | head -5)
[ -z "$outside" ] || fail "written outside the user's folders: $outside"
echo "passed"
