# Sourced by the scripts that run Windows programs, after tests/display.sh:
# a work folder, Xvfb and a fresh Wine prefix inside it, all gone when the
# script ends. Sets work, wine, DISPLAY and WINEPREFIX; defines fail and
# loader_for.
work=$(mktemp -d)
pids=""
wine=/usr/lib/wine/wine64
failed=""
# The loader that runs the program $1 in its own process. Given a 32-bit
# program, the 64-bit loader hands it to another process and ends at once,
# long before the program does: its end and exit status would say nothing.
loader_for() {
    if file -b "$1" | grep -q '^PE32+'; then echo /usr/lib/wine/wine64; else echo /usr/lib/wine/wine; fi
}
end_wine_session() {
    status=$?
    # A step that failed without saying so (under set -e) still says something.
    [ "$status" -ne 0 ] && [ -z "$failed" ] && echo "FAIL: a step failed with status $status" >&2
    WINEPREFIX="$work/prefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true
    end_started
}
end_on_every_end end_wine_session
fail() {
    failed=yes
    echo "FAIL: $*" >&2
    exit 1
}

# Waits up to 10 s until no process of this prefix runs the Windows program
# named $1: the program's end, not its window's, says that it has written
# its settings and let go of its file.
wait_program_gone() {
    command -v pgrep >/dev/null || fail "pgrep is missing (Debian: procps)"
    for _ in $(seq 100); do
        running=""
        for pid in $(pgrep -f "$1"); do
            grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null && running=yes
        done
        [ -z "$running" ] && return 0
        sleep 0.1
    done
    return 1
}

# Starts Xvfb and makes the prefix; with "server", keeps a wine server
# running, as on a desktop where Wine is in use; with "panel", a window
# manager and a 40-pixel panel along the top of the screen, so that the work
# area Windows programs are given starts at y = 40, as under a desktop's top
# bar or a taskbar at the top.
start_wine_session() {
    start_xvfb
    # A session bus of the script's own, or Wine starts one that outlives it.
    start_session_bus
    export WINEPREFIX="$work/prefix" WINEDEBUG=-all
    mkdir -p "$WINEPREFIX"
    [ "${1:-}" = server ] && /usr/lib/wine/wineserver64 -p
    if [ "${1:-}" = panel ]; then
        openbox >/dev/null 2>&1 &
        pids="$! $pids"
        c++ -o "$work/panel" "$(dirname "$0")/panel.cpp" -lX11 || fail "the panel did not build"
        "$work/panel" 40 >"$work/panel.out" &
        panel=$!
        pids="$panel $pids"
        # Until it says so, or gives up (30 s each for the manager and the
        # work area).
        while ! grep -qx ready "$work/panel.out" && running "$panel"; do sleep 0.1; done
        grep -qx ready "$work/panel.out" || fail "no work area below the panel"
    fi
    $wine wineboot -i >/dev/null 2>&1
    mkfifo "$work/hold"
    hold_session
}

# One ordinary process stays for the whole session. Each time the last one
# ends, Wine shuts its system processes down and starts them again for the
# next, and a program started in between now and then fails: a registry read
# came back empty. cmd waits on a pipe no one writes to.
hold_session() {
    $wine cmd /c pause <"$work/hold" >/dev/null 2>&1 &
    exec 9>"$work/hold"
}

# Signs out and in again, as Windows asks before a new system density
# reaches the monitors: every process of the prefix ends, and the next
# program starts a new session.
new_wine_session() {
    exec 9>&-
    /usr/lib/wine/wineserver64 -k 2>/dev/null || true
    /usr/lib/wine/wineserver64 -w
    hold_session
}
