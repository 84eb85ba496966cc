#!/bin/sh
# The desktop session's ways of going, with a session manager of the test's
# own on Xvfb: a checkpoint and a cancelled logout save and leave the program
# running; a real logout saves and ends it; a session manager that vanishes
# leaves it running, and its later end saves what changed since; a broken
# display connection still saves.
# Usage: session_end.sh path/to/dravon path/to/session_manager
set -eu
program=$1
manager=$2
. "$(dirname "$0")/xvfb.sh"
start_xvfb
focus="xdotool search --sync --onlyvisible --name '^Pelmora\$' windowfocus --sync && sleep 0.3"
# A step for the session manager: the stored mode is $1.
mode() { echo "run:grep -qx 'Current%20mode=\" $1\"' '$conf'"; }

"$manager" "$program" "run:$focus" \
    checkpoint alive "$(mode 1)" \
    "run:xdotool key F2" cancel-logout alive "$(mode 2)" \
    "run:xdotool key F1" logout "$(mode 1)" ||
    fail "checkpoint, cancelled logout and logout"

rm -f "$conf"
"$manager" "$program" "run:$focus" vanish alive "run:xdotool key F2" alive end "$(mode 2)" ||
    fail "session manager vanished"

# The display goes away under the program.
rm -f "$conf"
"$program" 2>/dev/null &
app=$!
pids="$app $pids"
eval "$focus"
xdotool key F2
sleep 0.3
kill "$xvfb"
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program outlived its display"
stored_mode 2 || fail "a broken display connection lost the mode"
echo "session end: ok"
