# Sourced by every script that runs a desktop program or other processes of
# its own. The script has a folder $work, a list $pids of what it ends when
# it ends, newest first, and fail.
#
# end_started: ends every process in $pids, newest first, whatever the
# others' state: each is asked to end (SIGTERM) and given up to 5 s, since
# a program writes its settings into $work as it ends and needs its display
# until then; one that is still there is killed. The script's own children
# are waited for, so that none is left a zombie. What the script's session
# bus started on demand (a settings daemon a window manager asked for) is not
# the script's child but is ended first all the same: it writes into $work
# as it ends. Then removes $work. For a script's EXIT trap.
end_started() {
    [ -n "${bus:-}" ] && pids="$(bus_clients) $pids"
    for pid in $pids; do
        if kill -TERM "$pid" 2>/dev/null; then
            for _ in $(seq 50); do running "$pid" || break; sleep 0.1; done
            kill -KILL "$pid" 2>/dev/null || true
        fi
        wait "$pid" 2>/dev/null || true
    done
    pids=""
    rm -rf "$work"
}

# running PID: whether the process is there and has not ended; a child that
# has ended but is not yet waited for has ended.
running() {
    state=$(ps -o stat= -p "$1" 2>/dev/null) && [ "${state#Z}" = "$state" ]
}

# The processes connected to the script's session bus, but for the script's own.
bus_clients() {
    ask() { dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus "org.freedesktop.DBus.$@" 2>/dev/null; }
    for name in $(ask ListNames | sed -n 's/^ *string "\(:.*\)"$/\1/p'); do
        ask GetConnectionUnixProcessID "string:$name" | sed -n 's/^ *uint32 //p'
    done | grep -vx "$$" || true
}

# forget PID: a process that has ended and been waited for is no longer the
# script's to end; its number may soon be another process's.
forget() {
    kept=""
    for pid in $pids; do [ "$pid" = "$1" ] || kept="$kept $pid"; done
    pids=$kept
}

# wait_ready PID: waits up to 10 s until the program catches SIGTERM, which
# it does once it has started up and would save its settings on the way out.
wait_ready() {
    for _ in $(seq 200); do
        mask=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null)
        [ -n "$mask" ] && [ $((0x$mask & 0x4000)) -ne 0 ] && return 0
        sleep 0.05
    done
    fail "the program never got ready to end"
}

#
# start_xvfb [WIDTHxHEIGHT]: Xvfb on a free display, 1280x1024 unless given;
# sets DISPLAY and xvfb. The server never resets: a reset, when its last
# client leaves, refuses a program that connects at that moment.
start_xvfb() {
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${1:-1280x1024}x24" -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
    xvfb=$!
    pids="$xvfb ${pids:-}"
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$work/display")"
}

# start_session_bus: a session bus of the script's own, as a desktop has;
# without one the toolkit would start one that outlives the script.
start_session_bus() {
    dbus-daemon --session --fork --print-address=1 --print-pid=1 >"$work/bus" || fail "no session bus"
    export DBUS_SESSION_BUS_ADDRESS="$(sed -n 1p "$work/bus")"
    bus=$(sed -n 2p "$work/bus")
    pids="$bus ${pids:-}"
}
