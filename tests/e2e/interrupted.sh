#!/bin/sh
# A test script interrupted as a developer or a test runner interrupts one:
# Ctrl-C (SIGINT to its whole process group) or SIGTERM to the script alone,
# early in its run and later; then once run to its end. Each time the script
# must end by that signal (or succeed), and leave no process it started
# (each carries the temporary folder the script was given in its
# environment), nothing in that folder and nothing mounted.
# Usage: interrupted.sh [--signals-only] SCRIPT [ARGS...]
set -eu
whole=yes
[ "$1" = --signals-only ] && whole="" && shift
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

mounts=$(cat /proc/self/mounts)
# Runs the script in the folder given, in a group of its own, with Ctrl-C's
# signal not ignored, as in a terminal; SIGNAL:NUMBER after MOMENT seconds,
# or none ("end"). It must end by that signal, or succeed, leaving nothing.
run() {
    sent=${1%:*} number=${1#*:} moment=$2
    shift 2
    how=$([ "$sent" = end ] && echo "run to its end" || echo "SIG$sent after ${moment}s")
    mkdir "$work/given"
    TMPDIR="$work/given" env --default-signal=INT setsid sh "$@" >"$work/said" 2>&1 &
    script=$!
    pids="$script $pids"
    if [ "$sent" != end ]; then
        sleep "$moment"
        if [ "$sent" = INT ]; then kill -INT "-$script"; else kill -TERM "$script"; fi 2>/dev/null ||
            fail "the script ended before SIG$sent after ${moment}s"
        for _ in $(seq 300); do running "$script" || break; sleep 0.1; done
    fi
    status=0
    wait "$script" || status=$?
    forget "$script"
    [ "$status" -eq $((number == 0 ? 0 : 128 + number)) ] ||
        fail "$how: the script ended with status $status: $(cat "$work/said")"
    stray=$(left)
    for pid in $stray; do kill -KILL "$pid" 2>/dev/null || true; done
    [ -z "$stray" ] || fail "$how left running: $(ps -o pid=,args= -p "$(echo $stray | tr ' ' ,)")"
    [ -z "$(ls -A "$work/given")" ] || fail "$how left: $(ls -A "$work/given")"
    [ "$(cat /proc/self/mounts)" = "$mounts" ] || fail "$how left mounted: $(cat /proc/self/mounts | grep -vxF "$mounts")"
    rm -rf "$work/given"
}
for signal in INT:2 TERM:15; do
    for moment in 1 3; do run "$signal" "$moment" "$@"; done
done
[ -n "$whole" ] && run end:0 0 "$@"
echo "interrupted: $1 ended by SIGINT and SIGTERM, at 1 s and at 3 s,${whole:+ and by itself,} leaving nothing"
