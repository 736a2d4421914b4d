#!/bin/bash
# The release zip as a user gets it: made from both lanes' builds and unpacked into a fresh
# folder. It holds the release's files and nothing else; each pair imports only system DLLs and
# the shell, carries the version in its version resource, and runs a line through its engine in
# the matching stand-in shell started from that folder. Needs a display and a Wine server
# (tools/session.sh). Usage: zip_test.sh SOURCE_DIR X86_BUILD X64_BUILD OUTDIR
# (exit 77, skipped: the 64-bit lane is not built)
set -u
source="$1" x86="$2" x64="$3" out="$4"
[ -f "$x64/CMakeCache.txt" ] || { echo "the 64-bit lane is not built: skipped"; exit 77; }
work="$(mktemp -d)"
shell_pid=""
trap '[ -n "$shell_pid" ] && kill "$shell_pid" 2> /dev/null; rm -rf "$work"' EXIT
passed=0
failed=0
check() {
    local name="$1"
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)) && echo "FAILED: $name"; fi
}
source "$source/tests/support/wait_until.sh"

"$source/tools/package" "$out" "$x86" "$x64" > /dev/null || { echo "no zip was made"; exit 1; }
version="$(grep -oE '"[0-9]+\.[0-9]+\.[0-9]+"' "$x86/generated/Version.h" | tr -d '"')"
zip="$out/torvex-$version.zip"
check "the zip is named by the version" test -f "$zip"
files="$(unzip -Z1 "$zip" | grep -v '/$' | sort | tr '\n' ' ')"
check "the zip holds the release's files and nothing else" [ "$files" == \
    "CHANGELOG.md INSTALL.txt LICENSE torvex.rc x64/quorlin.dll x64/torvex.dll x86/quorlin.dll x86/torvex.dll " ]
user="$work/plugins"
mkdir -p "$user" && unzip -q "$zip" -d "$user"
check "the changelog's newest release is this version" \
    [ "$(grep -m1 -oE '^## \[[^]]*\]' "$user/CHANGELOG.md")" == "## [$version]" ]

gcc=x86_64-w64-mingw32-gcc
$gcc -O2 -municode "$source/tests/release/verinfo.c" -o "$work/verinfo.exe" -lversion &&
    $gcc -O2 "$source/tests/e2e/peek.c" -o "$work/peek.exe" &&
    $gcc -O2 -mwindows "$source/tests/e2e/mark.c" -o "$work/mark.exe" || exit 1
wine64=/usr/lib/wine/wine64
system="advapi32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll"

only_system_and_shell() {  # DLL, its other allowed imports
    local name
    for name in $(x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print tolower($3)}'); do
        [[ " $system $2 " == *" $name "* ]] || { echo "  $1 imports $name"; return 1; }
    done
}
versions_are() { [ "$("$wine64" "$work/verinfo.exe" "Z:$1" | tr -d '\r' | tr '\n' ' ')" == "$2 $2 " ]; }
mark_says() { [ -f "$1/mark.txt" ] && [ "$(tr -d '\r' < "$1/mark.txt")" == "$2" ]; }
shell_ended() { ! kill -0 "$shell_pid" 2> /dev/null; }

for lane in x86 x64; do
    folder="$user/$lane" build="$x86"
    [ "$lane" == x64 ] && build="$x64"
    check "$lane: torvex.dll imports only system DLLs and the shell" \
        only_system_and_shell "$folder/torvex.dll" nimbar.exe
    check "$lane: quorlin.dll imports only system DLLs" only_system_and_shell "$folder/quorlin.dll" ""
    for dll in torvex.dll quorlin.dll; do
        check "$lane: $dll carries version $version" versions_are "$folder/$dll" "$version"
    done
    cp "$build/shell/Nimbar.exe" "$work/mark.exe" "$folder/"
    (cd "$folder" && exec timeout 300 wine Nimbar.exe --log shell.log > /dev/null 2>&1) &
    shell_pid=$!
    check "$lane: a line typed in the box" wait_until 240 "$wine64" "$work/peek.exe" --type "mark.exe zip $lane"
    check "$lane: the engine runs it" wait_until 60 mark_says "$folder" "zip $lane"
    check "$lane: .exit ends the shell" eval '"$wine64" "$work/peek.exe" --type .exit && wait_until 60 shell_ended'
    wait "$shell_pid"
    check "$lane: with 0, the plug-in stopped" eval \
        '[ $? -eq 0 ] && grep -q "^main 10002" "$folder/shell.log"'
    shell_pid=""
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
