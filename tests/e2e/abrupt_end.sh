#!/bin/sh
# Kills the program with SIGKILL at varied moments of its shut-down and
# checks each time that the settings file is whole: either the one it had, or
# the new one, never a truncated or half-written one. Then ends two instances
# at the same moment and checks the file holds all three keys.
# Usage: abrupt_end.sh path/to/dravon [rounds]
set -eu
program=$1
rounds=${2:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=offscreen
conf="$work/Orvane.conf"
fail() { echo "FAIL: $*" >&2; cat "$conf" >&2 || true; exit 1; }

# Whole means: the group line and exactly the three keys with number text.
whole() {
    awk '
        NR == 1 { if ($0 != "[Dravon]") exit 1; next }
        /^Current%20mode=" [0-9]+"$/ { mode++; next }
        /^Window%20X="[ -][0-9]+"$/ { x++; next }
        /^Window%20Y="[ -][0-9]+"$/ { y++; next }
        /^$/ { next }
        { exit 1 }
        END { exit !(mode == 1 && x == 1 && y == 1) }
    ' "$conf"
}

# 16 twips restore as 1 pixel, which the program writes back as 15 twips: so
# the file tells whether the program got to write it before it was killed.
old='[Dravon]
Current%20mode=" 2"
Window%20X=" 16"
Window%20Y=" 16"'

rewritten=0
kept=0
i=0
while [ "$i" -lt "$rounds" ]; do
    printf '%s\n' "$old" >"$conf"
    "$program" 2>/dev/null &
    pid=$!
    sleep 0.3
    kill -TERM "$pid"
    # From at once to just after the write (about 5 ms), in steps of about a millisecond.
    delay=$((i % 8))
    [ "$delay" -gt 0 ] && sleep "0.$(printf '%03d' "$delay")"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    whole || fail "round $i (kill after ${delay} ms): settings file is not whole"
    if grep -q 'Window%20X=" 16"' "$conf"; then kept=$((kept + 1)); else rewritten=$((rewritten + 1)); fi
    rm -f "$conf.lock"
    i=$((i + 1))
done
echo "kill loop: $rounds rounds, $rewritten rewritten, $kept kept the old file, none damaged"

for round in 1 2 3 4 5 6 7 8 9 10; do
    rm -f "$conf"
    "$program" 2>/dev/null &
    first=$!
    "$program" 2>/dev/null &
    second=$!
    sleep 0.6
    kill -TERM "$first" "$second"
    wait "$first" || fail "first instance ended with status $?"
    wait "$second" || fail "second instance ended with status $?"
    whole || fail "two instances, round $round: settings file is not whole"
done
echo "two instances: 10 rounds, the file held all three keys each time"
