# Sourced by the end-to-end scripts: a work folder that is the settings
# folder too, Xvfb displays on demand, and everything gone when the script
# ends. Defines work, conf, fail, start_xvfb (sets DISPLAY and xvfb) and
# stored_mode.
work=$(mktemp -d)
conf="$work/Orvane.conf"
pids=""
end_session() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap end_session EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$conf" ] && cat "$conf" >&2; exit 1; }
export XDG_CONFIG_HOME="$work"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY SESSION_MANAGER

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
