# Sourced: gives this shell an X display and a Wine server for running Windows programs, and
# takes both down again on exit when it started them.
export WINEDEBUG=${WINEDEBUG:--all}
# No debugger on a crash: it would wait for a person, and a test run for ever.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}

torvex_started_xvfb=""
torvex_keeper_dir=""
torvex_session_end() {
    wineserver -k 2>/dev/null || true
    [ -n "$torvex_keeper_dir" ] && rm -rf "$torvex_keeper_dir"
    [ -n "$torvex_started_xvfb" ] && kill "$torvex_started_xvfb" 2>/dev/null || true
}
trap torvex_session_end EXIT

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    for number in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        torvex_started_xvfb=$!
        export DISPLAY=":$number"
        break
    done
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

# A persistent server saves Wine's start-up between the programs that a run starts. Wine's
# background services are started here by a quick 64-bit program with its output discarded:
# started by a test instead, they would inherit its output and keep ctest waiting on it.
wineserver -p 2>/dev/null || true
/usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1 </dev/null || true

# On Xvfb there is no window manager, and Wine waits two seconds for one whenever it shows,
# hides or reparents a window it counts as managed: the session's windows are left unmanaged.
# On a real display the window manager is asked as usual.
torvex_x11_key='HKCU\Software\Wine\X11 Driver'
if [ -n "$torvex_started_xvfb" ]; then
    /usr/lib/wine/wine64 reg add "$torvex_x11_key" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
else
    /usr/lib/wine/wine64 reg delete "$torvex_x11_key" /v Managed /f >/dev/null 2>&1 || true
fi

/usr/lib/wine/wine64 reg import "$(dirname "${BASH_SOURCE[0]}")/font-fallback.reg" >/dev/null 2>&1 || true

# Keep the desktop up for the whole session (see tools/desktop-keeper.c).
torvex_keeper_dir=$(mktemp -d)
x86_64-w64-mingw32-gcc -O2 -mwindows "$(dirname "${BASH_SOURCE[0]}")/desktop-keeper.c" \
    -o "$torvex_keeper_dir/desktop-keeper.exe"
(cd "$torvex_keeper_dir" && exec /usr/lib/wine/wine64 desktop-keeper.exe ready \
    >/dev/null 2>&1 </dev/null) &
for _ in $(seq 100); do [ -e "$torvex_keeper_dir/ready" ] && break; sleep 0.2; done

