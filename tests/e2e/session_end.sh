#!/bin/sh
# The desktop session's ways of going, with a session manager of the test's
# own on Xvfb: a checkpoint and a cancelled logout save and leave the program
# running; the session's end (Die) after a later change saves that change and
# ends it; a session manager that vanishes
# leaves it running, and its later end saves what changed since; a broken
# display connection still saves.
# Usage: session_end.sh path/to/dravon path/to/session_manager
set -eu
program=$1
manager=$2
. "$(dirname "$0")/xvfb.sh"
start_xvfb
focus="xdotool search --sync --onlyvisible --name '^Pelmora\$' windowfocus --sync"
# A step for the session manager: the stored mode is $1.
mode() { echo "run:grep -qx 'Current%20mode=\" $1\"' '$conf'"; }

run_started "$manager" "$program" "run:$focus" \
    checkpoint alive "$(mode 1)" \
    "run:xdotool key F2" cancel-logout alive "$(mode 2)" \
    "run:xdotool key F1" die "$(mode 1)" ||
    fail "checkpoint, cancelled logout and the session's end"

rm -f "$conf"
run_started "$manager" "$program" "run:$focus" vanish idle "run:xdotool key F2" alive end "$(mode 2)" ||
    fail "session manager vanished"

# The display goes away under the program: Qt ends it with status 1, and on
# the way out it writes the mode it read at start ('2.0', as another writer
# left it) back as it writes it.
printf '[Dravon]\nCurrent%%20mode=2.0\n' >"$conf"
"$program" 2>"$work/stderr" &
app=$!
pids="$app $pids"
xdotool search --sync --onlyvisible --name '^Pelmora$' >/dev/null
kill "$xvfb"
for _ in $(seq 100); do running "$app" || break; sleep 0.1; done
running "$app" && fail "the program outlived its display"
status=0
wait "$app" || status=$?
forget "$app"
[ "$status" -eq 1 ] || fail "the program ended with status $status when its display went: $(cat "$work/stderr")"
stored_mode 2 || fail "a broken display connection lost the mode"
echo "session end: ok"
