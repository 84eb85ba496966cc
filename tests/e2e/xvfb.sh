# Sourced by the end-to-end scripts: a work folder that is the settings
# folder too, a session bus of its own, Xvfb displays on demand, and
# everything gone when the script ends. Defines work, conf, pids (whatever a
# script adds is ended with the rest), fail, start_xvfb (from ../display.sh)
# and stored_mode.
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
. "$(dirname "$0")/../display.sh"
start_session_bus

# Succeeds when the stored mode is $1.
stored_mode() { grep -qx "Current%20mode=\" $1\"" "$conf"; }
