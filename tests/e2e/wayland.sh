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
for _ in $(seq 100); do grep -q 'xdg_toplevel@[0-9]*\.set_title' "$work/protocol" && break; sleep 0.1; done
grep -q 'xdg_toplevel@[0-9]*\.set_title' "$work/protocol" || fail "no window on the compositor"
wait_ready "$app"
kill -TERM "$app"
status=0
wait "$app" || status=$?
forget "$app"
[ "$status" -eq 0 ] || fail "exit status $status after SIGTERM"
stored_mode 2 || fail "mode not written"
grep -qx 'Window%20X=4500' "$conf" && grep -qx 'Window%20Y=3000' "$conf" || fail "stored position changed"
echo "wayland: ok"
