# Sourced by the end-to-end scripts: a work folder that is the settings
# folder too, a session bus of its own, Xvfb displays on demand, and
# everything gone when the script ends. Defines work, conf, pids (whatever a
# script adds is ended with the rest), fail, start_xvfb (from ../display.sh)
# and stored_mode.
work=$(mktemp -d)
conf="$work/Orvane.conf"
pids=""
fail() { echo "FAIL: $*" >&2; [ -f "$conf" ] && cat "$conf" >&2; exit 1; }
export XDG_CONFIG_HOME="$work"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY SESSION_MANAGER
. "$(dirname "$0")/../display.sh"
end_on_every_end
start_session_bus

# Succeeds when the stored mode is $1.
stored_mode() { grep -qx "Current%20mode=\" $1\"" "$conf"; }
