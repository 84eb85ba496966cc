# Sourced by every script that starts processes or makes temporary folders
# of its own. The script has a folder $work, a list $pids of what it ends
# when it ends, newest first, and fail; it calls end_on_every_end once it
# has $work.
#
# end_started: ends every process in $pids, newest first, whatever the
# others' state: each is asked to end (SIGTERM) and given up to 5 s, since
# a program writes its settings into $work as it ends and needs its display
# until then; one that is still there is killed. The script's own children
# are waited for, so that none is left a zombie, and each is forgotten once
# ended: its number may soon be another process's. What the script's session
# bus started on demand (a settings daemon a window manager asked for) is not
# the script's child but is ended first all the same: it writes into $work
# as it ends. So is the script's last process started with &, which a signal
# may have met before the script could add it to $pids. Then removes $work.
end_started() {
    last=${!:-}
    if [ -n "$last" ] && [ "$(ps -o ppid= -p "$last" 2>/dev/null | tr -d ' ')" = $$ ]; then
        case " $pids " in *" $last "*) ;; *) pids="$last $pids" ;; esac
    fi
    if [ -n "${bus:-}" ]; then
        for client in $(bus_clients); do
            case " $pids " in *" $client "*) ;; *) pids="$client $pids" ;; esac
        done
    fi
    for pid in $pids; do
        if kill -TERM "$pid" 2>/dev/null; then
            for _ in $(seq 50); do running "$pid" || break; sleep 0.1; done
            if running "$pid"; then kill -KILL "$pid" 2>/dev/null || true; fi
        fi
        wait "$pid" 2>/dev/null || true
        forget "$pid"
    done
    rm -rf "$work"
}

# end_on_every_end [FUNCTION]: runs FUNCTION (end_started unless named)
# however the script ends: at its end, and on INT (Ctrl-C), TERM or HUP,
# which end a script without its EXIT trap under dash; then the script ends
# by that signal, as it would have without the trap. A signal meanwhile
# neither cuts the clean-up short nor starts it again, and the script's own
# status stands.
end_on_every_end() {
    ending=${1:-end_started}
    trap "trap '' INT TERM HUP; \$ending" EXIT
    for signal in INT TERM HUP; do
        trap "trap '' INT TERM HUP; \$ending; trap - EXIT $signal; kill -$signal \$\$" "$signal"
    done
}

# run_started COMMAND...: runs COMMAND as one of the script's processes and
# waits for it, so that a signal reaches the script at once (a command in
# the foreground holds it back until it ends) and the command is ended with
# the rest. Its status is the command's.
run_started() {
    "$@" &
    started=$!
    pids="$started $pids"
    ended=0
    wait "$started" || ended=$?
    forget "$started"
    return "$ended"
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
# sets DISPLAY and xvfb, and a runtime folder in $work unless the script has
# one there (Qt makes one in /tmp otherwise). The server never resets: a
# reset, when its last client leaves, refuses a program that connects at
# that moment.
start_xvfb() {
    case "${XDG_RUNTIME_DIR:-}" in "$work"/*) ;; *) export XDG_RUNTIME_DIR="$work/runtime" ;; esac
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${1:-1280x1024}x24" -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
    xvfb=$!
    pids="$xvfb ${pids:-}"
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$work/display")"
}

# start_session_bus: a session bus of the script's own, as a desktop has,
# listening in $work; without one the toolkit would start one that outlives
# the script.
start_session_bus() {
    dbus-daemon --session --address="unix:dir=$work" --fork --print-address=1 --print-pid=1 >"$work/bus" ||
        fail "no session bus"
    export DBUS_SESSION_BUS_ADDRESS="$(sed -n 1p "$work/bus")"
    bus=$(sed -n 2p "$work/bus")
    pids="$bus ${pids:-}"
}
