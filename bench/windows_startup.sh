#!/bin/sh
# The Windows program's start-up under Wine on Xvfb against a bare Win32
# window with the same controls, alternated, in one throwaway Wine prefix;
# prints the medians, their ratio and the size of Dravon.exe.
# Usage: bench/windows_startup.sh [windows build dir] [runs per program] [Dravon.exe]
set -eu
build=${1:-build-windows64}
runs=${2:-20}
exe=${3:-build-windows/Dravon.exe}
. "$(dirname "$0")/../tests/display.sh"
. "$(dirname "$0")/../tests/windows/wine-session.sh"
start_wine_session server

now_us() { echo $(($(date +%s%N) / 1000)); }
measure() {
    start=$(now_us)
    $wine "$build/bench/$1.exe" >/dev/null 2>&1
    echo $(($(now_us) - start)) >>"$work/$1.time"
}
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

measure dravon_startup_bench
measure win_floor_window
rm -f "$work"/*.time
i=0
while [ "$i" -lt "$runs" ]; do
    measure dravon_startup_bench
    measure win_floor_window
    i=$((i + 1))
done
awk -v n="$runs" -v pt="$(median "$work/dravon_startup_bench.time")" -v ft="$(median "$work/win_floor_window.time")" 'BEGIN {
    printf "Wine/Xvfb  %d runs each: wall %.1f ms vs floor %.1f ms (ratio %.3f)\n", n, pt / 1000, ft / 1000, pt / ft }'
[ -f "$exe" ] && echo "$(basename "$exe"): $(stat -c %s "$exe") bytes"
exit 0
