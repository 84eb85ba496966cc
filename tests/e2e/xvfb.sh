# Sourced by the end-to-end scripts: a work folder that is the settings
# folder too, a session bus of its own, Xvfb displays on demand, and
# everything gone when the script ends. Defines work, conf, pids (whatever a
# script adds is ended with the rest), fail, start_xvfb (sets DISPLAY and
# xvfb) and stored_mode.
work=$(mktemp -d)
conf="$work/Orvane.conf"
pids=""
end_session() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    # A program writes its settings into the folder as it ends.
    for _ in $(seq 50); do
        alive=""
        for pid in $pids; do kill -0 "$pid" 2>/dev/null && alive=yes; done
        [ -z "$alive" ] && break
        sleep 0.1
    done
    rm -rf "$work"
}
trap end_session EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$conf" ] && cat "$conf" >&2; exit 1; }
export XDG_CONFIG_HOME="$work"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY SESSION_MANAGER
# Without a session bus the toolkit would start one of its own that outlives
# the test.
dbus-daemon --session --fork --print-address=1 --print-pid=1 >"$work/bus" || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS="$(sed -n 1p "$work/bus")"
pids="$(sed -n 2p "$work/bus")"

start_xvfb() {
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
    xvfb=$!
    pids="$xvfb $pids"
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$work/display")"
}

# Succeeds when the stored mode is $1.
stored_mode() { grep -qx "Current%20mode=\" $1\"" "$conf"; }
