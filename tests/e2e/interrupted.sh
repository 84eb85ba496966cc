#!/bin/sh
# A test script interrupted as a developer or a test runner interrupts one:
# Ctrl-C (SIGINT to its whole process group) or SIGTERM to the script alone,
# early in its run and later. Each time the script must end by that signal
# and leave no process it started (each carries the temporary folder the
# script was given in its environment) and nothing in that folder.
# Usage: interrupted.sh SCRIPT [ARGS...]
set -eu
work=$(mktemp -d)
pids=""
. "$(dirname "$0")/../display.sh"
end_on_every_end
fail() { echo "FAIL: $*" >&2; exit 1; }
# What the interrupted script left running: processes of the folder given.
left() { grep -lzx "TMPDIR=$work/given" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3 || true; }

# The clean-up signals each process once, and one that ended when asked is
# not killed after: one the session bus also knows of is not signalled again
# (by then its number may be another process's).
asked="$work/asked"
(
    sleep 30 &
    pids=$! bus=yes work="$work/gone"
    bus_clients() { echo "$pids"; }
    kill() { echo "$*" >>"$asked"; command kill "$@"; }
    end_started
)
[ "$(cut -d' ' -f1 "$asked")" = -TERM ] || fail "the clean-up signalled [$(cat "$asked")]"

for signal in INT:2 TERM:15; do
    number=${signal#*:} signal=${signal%:*}
    for moment in 1 3; do
        mkdir "$work/given"
        # In a group of its own, with Ctrl-C's signal not ignored, as in a
        # terminal.
        TMPDIR="$work/given" env --default-signal=INT setsid sh "$@" >"$work/said" 2>&1 &
        script=$!
        pids="$script $pids"
        sleep "$moment"
        if [ $signal = INT ]; then kill -INT "-$script"; else kill -TERM "$script"; fi 2>/dev/null ||
            fail "the script ended before SIG$signal after ${moment}s"
        for _ in $(seq 300); do running "$script" || break; sleep 0.1; done
        status=0
        wait "$script" || status=$?
        forget "$script"
        [ "$status" -eq $((128 + number)) ] ||
            fail "SIG$signal after ${moment}s: the script ended with status $status: $(cat "$work/said")"
        stray=$(left)
        for pid in $stray; do kill -KILL "$pid" 2>/dev/null || true; done
        [ -z "$stray" ] || fail "SIG$signal after ${moment}s left running: $(ps -o pid=,args= -p "$(echo $stray | tr ' ' ,)")"
        [ -z "$(ls -A "$work/given")" ] || fail "SIG$signal after ${moment}s left: $(ls -A "$work/given")"
        rm -rf "$work/given"
    done
done
echo "interrupted: $1 ended by SIGINT and SIGTERM, at 1 s and at 3 s, leaving nothing"
