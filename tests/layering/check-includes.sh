#!/usr/bin/env bash
# The program's floors, bottom to top. A file may include headers of its own folder and of the
# folders on the floors below its own; never of a folder beside it on its floor, or above it.
# This table is the one place the layers are written down.
#   tests/layering/check-includes.sh [source root]
floors=(
    "platform resources"  # the Pocket PC shell services written for the desktop; resource ids
    "base"                # handle guards, pictures, the random source, shell and file helpers
    "model"               # the blinket record, its eye file, pupils and animations, catalogue records
    "store controls"      # the registry and the settings in it; the image buttons
    "state"               # the process-wide shell state
    "locator"             # the "Locate" file tree dialog
    "dialogs"             # Options and Edit Item, the list-view wrapper, the image catalogue
    "app"                 # start-up, the main window, rendering and shape, idle and tap
)
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}

declare -A floorOf
for index in "${!floors[@]}"; do
    for folder in ${floors[$index]}; do
        floorOf[$folder]=$index
    done
done

status=0
complain() {
    echo "$1" >&2
    status=1
}

for folder in "${!floorOf[@]}"; do
    [ -d "$root/$folder" ] || continue
    own=${floorOf[$folder]}
    while IFS= read -r -d '' file; do
        relative=${file#"$root/"}
        line=0
        while IFS= read -r text || [ -n "$text" ]; do
            line=$((line + 1))
            [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"/]+)/ ]] || continue
            target=${BASH_REMATCH[1]}
            [ "$target" = "$folder" ] && continue
            if [ -z "${floorOf[$target]+set}" ]; then
                complain "$relative:$line: includes $target/, which is on no floor"
            elif [ "${floorOf[$target]}" -ge "$own" ]; then
                complain "$relative:$line: $folder/ (floor $own) includes $target/ (floor ${floorOf[$target]}), which is not below it"
            fi
        done <"$file"
    done < <(find "$root/$folder" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' \) -print0)
done

# A folder of code that the table does not place would escape the check.
for dir in "$root"/*/; do
    folder=$(basename "$dir")
    [ -n "${floorOf[$folder]+set}" ] && continue
    case $folder in tests | tools | build* | cmake | docs | dist | shots) continue ;; esac
    if find "$dir" -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' \) | grep -q .; then
        complain "$folder/: holds code but stands on no floor of the table"
    fi
done

# Within a folder the units (a header with its source) form a tree too: no circle of includes.
for folder in "${!floorOf[@]}"; do
    [ -d "$root/$folder" ] || continue
    pairs=$(find "$root/$folder" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 |
        while IFS= read -r -d '' file; do
            unit=$(basename "${file%.*}")
            echo "$unit $unit"
            grep -oE "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"$folder/[^\"/]+\.h\"" "$file" |
                sed -E 's|.*/([^/]+)\.h"$|\1|' | while read -r used; do
                    [ "$used" = "$unit" ] || echo "$unit $used"
                done
        done)
    if ! circle=$(tsort <<<"$pairs" 2>&1 >/dev/null) || [ -n "$circle" ]; then
        complain "$folder/: its units include each other in a circle: $(grep -v 'input contains a loop' <<<"$circle" | sed 's/^tsort: //' | tr '\n' ' ')"
    fi
done

[ $status -eq 0 ] && echo "Every include points to the same folder or a floor below, and no folder's units include each other in a circle."
exit $status
