#!/bin/bash
# The README's map of src/, kept true: each folder includes only the folders it may use, so that
# the arrows point one way. Every folder may use the shell's side (host/) and the instance
# (plugin/TorvexPlugin.h and its neighbours), but no header outside plugin/ includes the
# instance, so that the types the instance holds never depend on it; plugin/ (the instance and
# the shell's entry points) may use every folder. Usage: include_directions.sh SRC_DIR
set -u
src="${1:?usage: include_directions.sh SRC_DIR}"

declare -A uses=(
    [text]=""
    [paths]="text"
    [calculator]=""
    [programs]="text worker host"
    [worker]=""
    [host]=""
    [history]="text paths worker host plugin"
    [interpreter]="history calculator programs paths text worker host plugin"
    [appearance]="interpreter history text host plugin"
    [window]="appearance interpreter history calculator programs paths text worker host plugin"
    [plugin]="*"
)

failed=0
for dir in "$src"/*/; do
    folder="$(basename "$dir")"
    if [ -z "${uses[$folder]+set}" ]; then
        echo "src/$folder/ is not on the map"
        failed=1
        continue
    fi
    for file in "$dir"*; do
        name="src/$folder/$(basename "$file")"
        while IFS= read -r used; do
            [ "$used" == "$folder" ] && continue
            if [ "${uses[$folder]}" != "*" ] && [[ " ${uses[$folder]} " != *" $used "* ]]; then
                echo "$name includes $used/, against the map"
                failed=1
            fi
        done < <(sed -n 's|^#include "\([a-z]*\)/.*|\1|p' "$file" | sort -u)
        if [[ "$name" == *.h && "$folder" != plugin ]] && grep -q '^#include "plugin/' "$file"; then
            echo "$name includes the instance: only .cpp files outside plugin/ may"
            failed=1
        fi
    done
done
[ "$failed" -eq 0 ] && echo "every include of src/ follows the map"
exit "$failed"
