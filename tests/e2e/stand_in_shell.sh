#!/bin/bash
# The stand-in Nimbar.exe loads a plug-in that imports from it, starts it with the slit, logs
# what its main window receives, stops the plug-in on 10101 and exits with 0.
set -u
shell_dir="$1/shell"
log="$shell_dir/stand_in_shell.log"
rm -f "$log"
cd "$shell_dir" || exit 1
timeout 600 wine Nimbar.exe --log stand_in_shell.log probe_plugin.dll > /dev/null
status=$?
expected=(
    'main 10901 0 [0-9]+ "@probe started slit=1 own-instance=1"'
    'main 10101 0 0'
    'main 10901 0 [0-9]+ "@probe stopping"'
    'shell: stopped probe_plugin.dll'
    'shell: exit'
)
mapfile -t actual < <(grep -E '^(main|shell: (stopped|exit))' "$log" | tr -d '\r')
failures=0
if [ "$status" -ne 0 ]; then echo "Nimbar.exe exited with $status"; failures=1; fi
same=1
[ "${#actual[@]}" -eq "${#expected[@]}" ] || same=0
for i in "${!expected[@]}"; do
    [[ "${actual[$i]:-}" =~ ^${expected[$i]}$ ]] || same=0
done
if [ "$same" -eq 0 ]; then
    echo "log differs; expected (as patterns):"; printf '  %s\n' "${expected[@]}"
    echo "got:"; printf '  %s\n' "${actual[@]}"
    failures=1
fi
[ "$failures" -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit "$failures"
