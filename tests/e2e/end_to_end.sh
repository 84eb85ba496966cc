#!/bin/sh
# Drives the built program under Xvfb as a user would: types a number and
# Enter, switches mode with F2, moves the window and ends with File > Exit;
# then checks the stored settings and that a second start restores them.
# Usage: end_to_end.sh path/to/dravon
set -eu
program=$1
work=$(mktemp -d)
app=""
xvfb=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$work/Orvane.conf" ] && cat "$work/Orvane.conf" >&2; exit 1; }

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
export XDG_CONFIG_HOME="$work"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

start() {
    "$program" 2>"$work/stderr" &
    app=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Pelmora$' | head -n 1)
    [ -n "$window" ] || fail "no window"
    # Without a window manager nothing activates the window; focus it directly.
    xdotool windowfocus --sync "$window"
    sleep 0.3
}

wait_for_end() {
    for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app" 2>/dev/null && fail "$1 did not end the program"
    wait "$app" || fail "$1: exit status $?"
    app=""
}

stored() { grep -F "$1" "$work/Orvane.conf" >/dev/null || fail "expected $1 in the settings"; }

# First run: no settings yet.
start
xdotool type --delay 10 '123456782'
xdotool key Return
xdotool key F2
xdotool type --delay 10 '4111 1111 1111 1111'
xdotool key Return
xdotool windowmove --sync "$window" 300 200
sleep 0.3
xdotool key alt+f
sleep 0.3
xdotool key x
wait_for_end "File > Exit"
stored 'Current%20mode=" 2"'
stored 'Window%20X=" 4500"'
stored 'Window%20Y=" 3000"'

# Second run: mode and position come back; SIGTERM ends it the same way.
start
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$X" = 300 ] && [ "$Y" = 200 ] || fail "window opened at $X,$Y, not 300,200"
kill -TERM "$app"
wait_for_end "SIGTERM"
stored 'Current%20mode=" 2"'
stored 'Window%20X=" 4500"'

# The other termination signals save and end the same way.
for signal in INT HUP; do
    rm -f "$work/Orvane.conf"
    start
    kill "-$signal" "$app"
    wait_for_end "SIG$signal"
    stored 'Current%20mode=" 1"'
    stored 'Window%20Y='
done

echo "end-to-end: ok"
