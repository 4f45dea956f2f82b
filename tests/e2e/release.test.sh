#!/usr/bin/env bash
# The release as a Windows user gets it (tools/package.sh makes it): the zip holds ocellix.exe,
# the Blinkets folder, README.txt and LICENSE with Windows line ends; the program is stripped and
# carries the project's version and the big eyes as its icon, drawn for every size from 16 to 256
# pixels. Unpacked into a deep folder with spaces in its path, it starts from there with the big
# eyes of its own Blinkets folder, takes commands, and ends with 0.
source "$(dirname "$0")/lib.sh"

: "${OCX_ZIP:?}"
[ -f "$OCX_ZIP" ] || fail "no $OCX_ZIP: tools/package.sh makes it"
version=$(basename "$OCX_ZIP" | sed -n 's/^ocellix-\(.*\)-windows-x64\.zip$/\1/p')
[ -n "$version" ] || fail "$(basename "$OCX_ZIP") does not name a version"
images=$(ls "$OCX_BUILD/bin/Blinkets" | sed 's|^|Blinkets/|')
expect "zip contents" "$(printf '%s\n' LICENSE README.txt ocellix.exe Blinkets/ $images | sort | paste -sd' ')" \
    "$(cmake -E tar tf "$OCX_ZIP" | sort | paste -sd' ')"

# As deep as a Downloads folder under a long user name gets: about 180 characters in Windows'
# form, so that the default image's path is near 200.
deep="$e2e_dir/Users/Someone with a fairly long name/Downloads/My Programs (portable)"
deep="$deep/Ocellix $version for Windows x64 unpacked here"
mkdir -p "$deep"
(cd "$deep" && cmake -E tar xf "$OCX_ZIP")
for text in README.txt LICENSE; do
    expect "lines of $text without CR" 0 "$(grep -vc $'\r$' "$deep/$text" || true)"
done
expect "README title" "Ocellix $version" "$(head -n1 "$deep/README.txt" | tr -d '\r')"
expect "LICENSE" "MIT License" "$(head -n1 "$deep/LICENSE" | tr -d '\r')"
x86_64-w64-mingw32-objdump -h "$deep/ocellix.exe" | grep -q '\.debug' && fail "ocellix.exe is not stripped"

exe=$(winpath "$deep/ocellix.exe")
read -r _ product numbers name < <(probe version "$exe") || fail "ocellix.exe has no version"
expect "product version" "$version" "$product"
expect "product name" "Ocellix" "$name"
case "$numbers" in "$version".*) ;; *) fail "file version $numbers is not $version" ;; esac
expect "icon sizes" "16 20 24 32 40 48 64 256" "$(probe icons "$exe" | awk '$2 == $3 { print $2 }' | paste -sd' ')"

OCX_EXE=$deep/ocellix.exe
ocx_images=$deep/Blinkets
start_ocellix
close_about
expect_strip window eyesbig.gif
expect "/options" 0 "$(command_code /options)"
wait_dialog Options
look_at Options
expect "Options rows" "Show Options" "$(rows_of 1005 | sed 's/^[*0-9-]* //')"
click_close_box Options
wait_dialog_gone Options
expect "/exit" 0 "$(command_code /exit)"
expect_exit 15 0
echo "passed"
