#!/bin/bash
# The real torvex.dll and quorlin.dll in the stand-in shell, driven by real key presses and
# mouse clicks on the X display: browsing and completing a history made before start, running a
# line with capitals and symbols through the engine floating and docked, completing a path with
# Tab and running it, reconfiguring, docking and undocking, and ".exit". One shell session
# serves every step, since each 32-bit Wine start is slow here. Needs a display and a Wine
# server (tools/session.sh). Usage: torvex_e2e.sh BUILD_DIR
set -u
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
wine64=/usr/lib/wine/wine64
shell_pid=""
passed=0
failed=0

finish() {
    if [ -n "$shell_pid" ] && kill -0 "$shell_pid" 2>/dev/null; then
        kill "$shell_pid"  # timeout passes it on to the shell
    fi
    rm -rf "$work"
}
trap finish EXIT

check() {
    local name="$1"
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $name (the field last read: \"${box_text-}\")"
    fi
}

source "$here/../support/wait_until.sh"

# --- the shell's folder ---------------------------------------------------------------------

prepare_folder() {
    cp "$build"/shell/{Nimbar.exe,torvex.dll,quorlin.dll} "$work"/
    # peek.exe prints to the test; mark.exe is a windowed program, since a console program that
    # the engine starts gets a console host of its own, which can take the X focus as it goes.
    x86_64-w64-mingw32-gcc -Wall -Wextra -Werror -O2 "$here/peek.c" -o "$work/peek.exe" || return 1
    x86_64-w64-mingw32-gcc -Wall -Wextra -Werror -O2 -mwindows "$here/mark.c" -o "$work/mark.exe" \
        || return 1
    x86_64-w64-mingw32-g++ -Wall -Wextra -Werror -O2 -static -mwindows \
        "$here/../helper/foreground.cpp" -o "$work/foreground.exe" || return 1
    write_settings 100 50 200
    printf 'alpha one\r\nbeta two\r\ngamma three\r\n' > "$work/history.txt"
}

write_settings() {
    printf 'torvex.x: %s\ntorvex.y: %s\ntorvex.width: %s\ntorvex.inslit: false\n' "$@" \
        > "$work/torvex.rc"
    printf 'torvex.alias: mk mark.exe by alias {2} {1}\n' >> "$work/torvex.rc"
}

# --- what the box shows and where it is -----------------------------------------------------

# Fills box_docked, box_rect ("left top right bottom"), slit_rect and box_text.
peek() {
    local lines
    mapfile -t lines < <(cd "$work" && "$wine64" peek.exe 2>/dev/null | tr -d '\r')
    [ "${#lines[@]}" -ge 2 ] || return 1
    read -r _ box_docked box_rect <<< "${lines[0]}"
    read -r _ slit_rect <<< "${lines[1]}"
    box_text="${lines[2]:-}"
    read -r _ box_focused <<< "${lines[3]:-focus 0}"
}

field_is() { peek && [ "$box_text" == "$1" ]; }
box_has_focus() { peek && [ "$box_focused" == 1 ]; }
docked_is() { peek && [ "$box_docked" == "$1" ]; }
box_at() { peek && [ "$box_rect" == "$1" ]; }

# The X window that Wine shows at this left, top, width and height.
x_window_at() {
    local id X Y WIDTH HEIGHT
    for id in $(xdotool search --onlyvisible --class nimbar); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        if [ "$X $Y $WIDTH $HEIGHT" == "$1 $2 $3 $4" ]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

x_window_of() {
    local left top right bottom
    read -r left top right bottom <<< "$1"
    x_window_at "$left" "$top" $((right - left)) $((bottom - top))
}

# Moves the mouse to the middle of the box.
point_at_box() {
    local left top right bottom
    read -r left top right bottom <<< "$box_rect"
    xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2))
}

# Gives the box the keyboard: the X focus on the window Wine shows it in (its own when floating,
# the slit's when docked), and a click in it, since Wine may have moved the focus elsewhere
# inside the shell's process (a program that the engine started takes it, for one).
focus_box() {
    focus_x_window && point_at_box && xdotool click 1
}

focus_x_window() {
    peek || return 1
    local shown_in="$box_rect" window
    [ "$box_docked" == 1 ] && shown_in="$slit_rect"
    window=$(x_window_of "$shown_in") || return 1
    xdotool windowfocus --sync "$window"
}

press() { focus_box && xdotool key --delay 50 "$@"; }
type_line() { focus_box && xdotool type --delay 50 "$1" && xdotool key Return; }

# The shell's popup menu: the one window of the shell's that is neither the box nor the slit.
# Fills menu_rect.
menu_shows() {
    local id X Y WIDTH HEIGHT rect
    for id in $(xdotool search --onlyvisible --class nimbar); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        rect="$X $Y $((X + WIDTH)) $((Y + HEIGHT))"
        if [ "$rect" != "$box_rect" ] && [ "$rect" != "$slit_rect" ]; then
            menu_rect="$rect"
            return 0
        fi
    done
    return 1
}

# Ctrl and a right click on the box, then a click on the menu's last row, its only item.
pick_in_slit_from_menu() {
    focus_x_window && point_at_box || return 1
    # Ctrl is read when the release arrives, which may take a while under emulation.
    xdotool keydown ctrl mousedown 3 mouseup 3
    wait_until 20 menu_shows
    local shown=$?
    xdotool keyup ctrl
    [ "$shown" -eq 0 ] || return 1
    local left top right bottom
    read -r left top right bottom <<< "$menu_rect"
    xdotool mousemove $(((left + right) / 2)) $((bottom - 8)) click 1
}

last_history_line_is() { [ "$(tail -n 1 "$work/history.txt" | tr -d '\r')" == "$1" ]; }
mark_says() { [ -f "$work/mark.txt" ] && [ "$(tr -d '\r' < "$work/mark.txt")" == "$1" ]; }

# --- the steps ------------------------------------------------------------------------------

start_shell() {
    # The mark tells this run's shell from any other program of that name on the machine.
    (cd "$work" && TORVEX_E2E_RUN="$work" exec timeout 900 wine Nimbar.exe --log shell.log \
        > /dev/null 2>&1) &
    shell_pid=$!
    wait_until 300 peek
}

browse_and_complete() {
    check "Up shows the newest line" eval 'press Up && wait_until 20 field_is "gamma three"'
    check "Up again shows an older line" eval 'press Up && wait_until 20 field_is "beta two"'
    check "Up stops at the oldest line" eval \
        'press Up Up && sleep 2 && wait_until 20 field_is "alpha one"'
    check "Down goes newer" eval 'press Down && wait_until 20 field_is "beta two"'
    check "Down past the newest empties the field" eval \
        'press Down Down && wait_until 20 field_is ""'
    check "typed text" eval 'focus_box && xdotool type --delay 50 "ta t" && wait_until 20 field_is "ta t"'
    check "a Shift tap completes from the history" eval 'press shift && wait_until 20 field_is "beta two"'
    xdotool key --repeat 8 BackSpace  # the completion leaves the caret at the end
    check "the field is emptied again" wait_until 20 field_is ""
    check "Shift held for capitals and symbols changes nothing else" eval \
        'focus_box && xdotool type --delay 50 "ta TWO:" && wait_until 20 field_is "ta TWO:"'
    xdotool key --repeat 7 BackSpace
}

# A line with capitals and symbols (typed with Shift held), run by the engine; $1 says where
# the box is, and goes into the line.
run_a_line() {
    local arguments="Typed $1 Line: A&B (\"x\")!"
    check "a line typed with Shift held ($1)" eval \
        'focus_box && xdotool type --delay 50 "mark.exe $arguments" && wait_until 20 field_is "mark.exe $arguments"'
    rm -f "$work/mark.txt"
    xdotool key Return
    check "the field is empty after Enter ($1)" wait_until 20 field_is ""
    check "the engine runs the line ($1)" wait_until 120 mark_says "$arguments"
    check "the line is in history.txt ($1)" last_history_line_is "mark.exe $arguments"
}

# A line in other scripts, typed with real keys (xdotool maps each character to a spare key).
run_a_line_in_other_scripts() {
    local arguments="Жёлтый 日本語 café"
    check "a line in other scripts typed" eval \
        'focus_box && xdotool type --delay 80 "mark.exe $arguments" && wait_until 20 field_is "mark.exe $arguments"'
    rm -f "$work/mark.txt"
    xdotool key Return
    check "the engine runs it exactly" wait_until 120 mark_says "$arguments"
    check "it is in history.txt in UTF-8" last_history_line_is "mark.exe $arguments"
}

# The folder's path as Wine shows it, typed with a program's first letters, then Tab.
complete_with_tab() {
    local folder="Z:${work//\//\\}\\"
    check "a path typed" eval 'focus_box && xdotool type --delay 50 "${folder}ma" && wait_until 20 field_is "${folder}ma"'
    check "Tab completes the program's name" eval 'xdotool key Tab && wait_until 20 field_is "${folder}mark.exe"'
    check "the completed line runs" eval \
        'xdotool type --delay 50 " tabbed" && xdotool key Return && wait_until 120 mark_says "tabbed"'
}

reconfigure() {
    write_settings 150 300 320
    check ".reconfig typed" type_line ".reconfig"
    check "the box moves to the file's new place and width" wait_until 30 box_at "150 300 470 320"
}

# An alias, Ctrl+R, a suggestion, Shift+Delete and the hotkey that summons the box, each once
# with real keys.
beyond_the_launchers() {
    rm -f "$work/mark.txt"
    check "an alias runs what it stands for" eval \
        'type_line "mk one two" && wait_until 120 mark_says "by alias two one"'
    check "the alias is recorded as typed" last_history_line_is "mk one two"
    rm -f "$work/mark.txt"
    check "Ctrl+R finds a line" eval \
        'press ctrl+r && xdotool type --delay 50 "docked L" && wait_until 20 field_is "mark.exe Typed docked Line: A&B (\"x\")!"'
    check "Enter runs the line found" eval \
        'xdotool key Return && wait_until 120 mark_says "Typed docked Line: A&B (\"x\")!"'
    rm -f "$work/mark.txt"
    check "End takes the suggestion after a typed prefix" eval \
        'focus_box && xdotool type --delay 50 "mark.exe Typed d" && xdotool key End && wait_until 20 field_is "mark.exe Typed docked Line: A&B (\"x\")!"'
    check "Enter runs the line taken" eval \
        'xdotool key Return && wait_until 120 mark_says "Typed docked Line: A&B (\"x\")!"'
    check "Up recalls the newest line" eval 'press Escape Up && wait_until 20 field_is "mk one two"'
    check "Shift+Delete removes it" eval \
        'xdotool key shift+Delete && wait_until 20 field_is "mark.exe Typed docked Line: A&B (\"x\")!"'
    check "it is gone from history.txt" eval '! grep -q "^mk one two" "$work/history.txt"'
    (cd "$work" && exec timeout 120 "$wine64" foreground.exe > /dev/null 2>&1) &
    local other=$!
    check "another program takes the keyboard" wait_until 60 eval '! box_has_focus'
    check "the hotkey brings the box forward" eval \
        'xdotool key ctrl+alt+space && wait_until 20 box_has_focus'
    kill "$other" 2> /dev/null
    press Escape
}

dock_and_undock() {
    check "@Castpad Toggle Slit typed" type_line "@Castpad Toggle Slit"
    check "the broadcast docks the box" wait_until 30 docked_is 1
    run_a_line docked
    check "the menu's In Slit undocks it" eval 'pick_in_slit_from_menu && wait_until 30 docked_is 0'
    check "the menu's In Slit docks it again" eval \
        'pick_in_slit_from_menu && wait_until 30 docked_is 1'
}

exit_shell() {
    check ".exit typed" type_line ".exit"
    local status=0
    wait_until 120 eval '! kill -0 "$shell_pid" 2> /dev/null' || kill "$shell_pid"
    wait "$shell_pid" || status=$?
    shell_pid=""
    check "the shell exits with 0" [ "$status" -eq 0 ]
    check "no Wine process of the shell is left" eval '! shell_process_left'
}

# A live process of the shell this run started (it carries the run's mark); one that has ended
# but is not yet reaped (a zombie) is gone.
shell_process_left() {
    local environ pid
    for environ in /proc/[0-9]*/environ; do
        grep -qzx "TORVEX_E2E_RUN=$work" "$environ" 2> /dev/null || continue
        pid=${environ#/proc/}
        pid=${pid%/environ}
        grep -q Nimbar.exe "/proc/$pid/cmdline" 2> /dev/null || continue
        [[ "$(ps -o stat= -p "$pid")" == Z* ]] || return 0
    done
    return 1
}

# The shell's messages from start to exit, in order.
check_log() {
    local box expected actual
    box=$(grep -m 1 -oE '^main 10001 [0-9]+' "$work/shell.log" | cut -d' ' -f3)
    expected=(
        "main 10001 $box [0-9]+"
        'main 10103 0 0'
        "main 10901 0 [0-9]+ \"@Castpad Toggle Slit\""
        "slit 11001 0 $box"
        'shell: menu "c@stpad" shown, item 0 picked'
        "main 10901 0 [0-9]+ \"@Castpad Toggle Slit\""
        "slit 11002 0 $box"
        'shell: menu "c@stpad" shown, item 0 picked'
        "main 10901 0 [0-9]+ \"@Castpad Toggle Slit\""
        "slit 11001 0 $box"
        'main 10101 0 0'
        "slit 11002 0 $box"
        "main 10002 $box [0-9]+"
    )
    mapfile -t actual < <(grep -E '^((main|slit) [0-9]|shell: menu)' "$work/shell.log" | tr -d '\r')
    local same=1 i
    [ "${#actual[@]}" -eq "${#expected[@]}" ] || same=0
    for i in "${!expected[@]}"; do
        [[ "${actual[$i]:-}" =~ ^${expected[$i]}$ ]] || same=0
    done
    if [ "$same" -eq 0 ]; then
        echo "the shell's log differs; expected (as patterns):"
        printf '  %s\n' "${expected[@]}"
        echo "got:"
        printf '  %s\n' "${actual[@]}"
    fi
    [ "$same" -eq 1 ]
}

if ! prepare_folder || ! start_shell; then
    echo "the stand-in shell did not show the box"
    [ -f "$work/shell.log" ] && cat "$work/shell.log"
    echo "0 passed, 1 failed"
    exit 1
fi
browse_and_complete
run_a_line floating
run_a_line_in_other_scripts
complete_with_tab
reconfigure
dock_and_undock
beyond_the_launchers
exit_shell
check "the shell's log from start to exit" check_log
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
