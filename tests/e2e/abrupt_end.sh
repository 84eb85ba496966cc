#!/bin/sh
# Kills the program with SIGKILL at varied moments of its shut-down and
# checks each time that the settings file is whole: either the one it had, or
# the new one, never a truncated or half-written one, nor one with some keys
# new and others old; a kill that lands while the lock is held leaves it for
# the next round, and every tenth round, not killed, must write the new file
# all the same. Then ends two instances that hold different values at the
# same moment and checks the file holds one instance's values whole.
# Usage: abrupt_end.sh path/to/dravon [rounds]
set -eu
program=$1
rounds=${2:-100}
work=$(mktemp -d)
pids=""
export XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=offscreen
conf="$work/Orvane.conf"
fail() { echo "FAIL: $*" >&2; cat "$conf" >&2 || true; exit 1; }

# The program ends as asked once it catches SIGTERM (wait_ready); whatever
# instance a failed round left running is ended with the folder.
. "$(dirname "$0")/../display.sh"
end_on_every_end

# Every key differs between the file before and the file the program writes:
# the mode is written back as ' 2', and 16 twips restore as 1 pixel, which
# is written back as 15 twips.
old='[Dravon]
Current%20mode=" 02"
Window%20X=" 16"
Window%20Y=" 16"'
new='[Dravon]
Current%20mode=" 2"
Window%20X=" 15"
Window%20Y=" 15"'

rewritten=0
kept=0
stale=0
i=0
while [ "$i" -lt "$rounds" ]; do
    printf '%s\n' "$old" >"$conf"
    "$program" 2>/dev/null &
    pid=$!
    pids=$pid
    wait_ready "$pid"
    [ -e "$conf.lock" ] && stale=$((stale + 1))
    kill -TERM "$pid"
    # From at once to about the write, in steps of about a millisecond; every
    # tenth round it ends by itself, over whatever lock a kill left.
    delay=$((i % 10))
    if [ "$delay" -eq 9 ]; then
        wait "$pid" || fail "round $i: the program ended with status $?"
        [ "$(cat "$conf")" = "$new" ] || fail "round $i, not killed: the new file was not written"
    else
        [ "$delay" -gt 0 ] && sleep "0.00$delay"
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    pids=""
    case "$(cat "$conf")" in
        "$old") kept=$((kept + 1)) ;;
        "$new") rewritten=$((rewritten + 1)) ;;
        *) fail "round $i (kill after ${delay} ms): the settings file is neither the old one nor the new one" ;;
    esac
    i=$((i + 1))
done
echo "kill loop: $rounds rounds, $rewritten rewritten, $kept kept the old file, none damaged; $stale met a lock left by a kill"
# Kills that all land before the write, or all after it, test nothing.
[ "$rewritten" -gt 0 ] && [ "$kept" -gt 0 ] || fail "the kills never landed on both sides of the write"

# Two instances, each started on other values, end at once: each saves
# without a word, and the file holds what one of them wrote, whole, never a
# mix of the two. Each changes its position as it writes it back (16 twips
# are 15 and 31 are 30, a pixel's worth), but not its mode: an instance that
# edited the other's file as if it still held its own would mix them.
values() { printf '[Dravon]\nCurrent%%20mode=" %s"\nWindow%%20X=" %s"\nWindow%%20Y=" %s"' "$1" "$2" "$2"; }
for round in 1 2 3 4 5 6 7 8 9 10; do
    values 1 16 >"$conf"
    "$program" 2>"$work/first" &
    first=$!
    pids="$first"
    wait_ready "$first"
    values 2 31 >"$conf"
    "$program" 2>"$work/second" &
    second=$!
    pids="$second $first"
    wait_ready "$second"
    kill -TERM "$first" "$second"
    wait "$first" || fail "first instance ended with status $?"
    wait "$second" || fail "second instance ended with status $?"
    pids=""
    ! grep -h '^Pelmora: ' "$work/first" "$work/second" ||
        fail "two instances, round $round: one did not save, as it says above"
    case "$(cat "$conf")" in
        "$(values 1 15)" | "$(values 2 30)") ;;
        *) fail "two instances, round $round: the file holds neither's values whole" ;;
    esac
done
echo "two instances: 10 rounds, the file held one instance's values whole each time"
