#!/bin/sh
# Under a real Wayland compositor (weston, headless) the program cannot tell
# where its window stands: the stored position must survive its end
# untouched while the mode is still written.
# Usage: wayland.sh path/to/dravon
set -eu
program=$1
. "$(dirname "$0")/xvfb.sh"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --socket=pelmora-test --idle-time=0 >"$work/weston.log" 2>&1 &
pids="$! $pids"
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/pelmora-test" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/pelmora-test" ] || fail "weston did not start: $(cat "$work/weston.log")"
export WAYLAND_DISPLAY=pelmora-test QT_QPA_PLATFORM=wayland

# Number text as another writer may leave it: the mode comes back as ' 2',
# the position exactly as it stood.
printf '[Dravon]\nCurrent%%20mode=2.0\nWindow%%20X=4500\nWindow%%20Y=3000\n' >"$conf"
WAYLAND_DEBUG=client "$program" 2>"$work/protocol" &
app=$!
pids="$app $pids"
# The window is on the compositor once the surface of a toplevel titled
# Pelmora, its first configure answered, is given a buffer to show. Objects
# are "name@id" in libwayland's log before 1.22, "name#id" since.
shown() {
    sed 's/\([a-z_0-9]\)[@#]\([0-9]\)/\1#\2/g' "$work/protocol" | awk '
        /get_xdg_surface\(new id xdg_surface#[0-9]+, wl_surface#[0-9]+\)/ {
            match($0, /xdg_surface#[0-9]+/); xdg = substr($0, RSTART + 12, RLENGTH - 12)
            match($0, /wl_surface#[0-9]+\)/); surface[xdg] = substr($0, RSTART + 11, RLENGTH - 12)
        }
        /get_toplevel\(new id xdg_toplevel#/ { match($0, /xdg_surface#[0-9]+/); latest = substr($0, RSTART + 12, RLENGTH - 12) }
        /xdg_toplevel#[0-9]+\.set_title\("Pelmora"\)/ { titled = latest }
        titled != "" && $0 ~ "xdg_surface#" titled "\\.ack_configure\\(" { acked = surface[titled] }
        acked != "" && $0 ~ "-> wl_surface#" acked "\\.attach\\(wl_buffer#" { found = 1; exit }
        END { exit !found }'
}
for _ in $(seq 100); do shown && break; sleep 0.1; done
shown || fail "no window on the compositor: $(grep -e xdg_ -e attach "$work/protocol" | head -n 20)"
wait_ready "$app"
kill -TERM "$app"
status=0
wait "$app" || status=$?
forget "$app"
[ "$status" -eq 0 ] || fail "exit status $status after SIGTERM"
stored_mode 2 || fail "mode not written"
grep -qx 'Window%20X=4500' "$conf" && grep -qx 'Window%20Y=3000' "$conf" || fail "stored position changed"
echo "wayland: ok"
