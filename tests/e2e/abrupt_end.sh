#!/bin/sh
# Kills the program with SIGKILL at varied moments of its shut-down and
# checks each time that the settings file is whole: either the one it had, or
# the new one, never a truncated or half-written one, nor one with some keys
# new and others old. Then ends two instances at the same moment and checks
# the file holds all three keys.
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
i=0
while [ "$i" -lt "$rounds" ]; do
    printf '%s\n' "$old" >"$conf"
    "$program" 2>/dev/null &
    pid=$!
    pids=$pid
    wait_ready "$pid"
    kill -TERM "$pid"
    # From at once to about the write, in steps of about a millisecond, and
    # every tenth round well after it.
    delay=$((i % 10))
    [ "$delay" -eq 9 ] && delay=100
    [ "$delay" -gt 0 ] && sleep "0.$(printf '%03d' "$delay")"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pids=""
    case "$(cat "$conf")" in
        "$old") kept=$((kept + 1)) ;;
        "$new") rewritten=$((rewritten + 1)) ;;
        *) fail "round $i (kill after ${delay} ms): the settings file is neither the old one nor the new one" ;;
    esac
    rm -f "$conf.lock"
    i=$((i + 1))
done
echo "kill loop: $rounds rounds, $rewritten rewritten, $kept kept the old file, none damaged"
# Kills that all land before the write, or all after it, test nothing.
[ "$rewritten" -gt 0 ] && [ "$kept" -gt 0 ] || fail "the kills never landed on both sides of the write"

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
for round in 1 2 3 4 5 6 7 8 9 10; do
    rm -f "$conf"
    "$program" 2>/dev/null &
    first=$!
    "$program" 2>/dev/null &
    second=$!
    pids="$first $second"
    wait_ready "$first"
    wait_ready "$second"
    kill -TERM "$first" "$second"
    wait "$first" || fail "first instance ended with status $?"
    wait "$second" || fail "second instance ended with status $?"
    pids=""
    whole || fail "two instances, round $round: settings file is not whole"
done
echo "two instances: 10 rounds, the file held all three keys each time"
