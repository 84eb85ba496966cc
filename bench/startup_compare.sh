#!/bin/sh
# Runs the program's start-up benchmark and the floor program alternately,
# on the offscreen platform and under Xvfb, and prints the medians of wall
# time and peak resident memory and their ratios; then the key-to-verdict
# latency. Needs a build with -DPELMORA_BUILD_BENCH=ON (make configures one).
# Usage: bench/startup_compare.sh [build dir] [runs per program]
set -eu
build=${1:-build}
runs=${2:-20}
work=$(mktemp -d)
pids=""
. "$(dirname "$0")/../tests/display.sh"
end_on_every_end
fail() { echo "startup_compare: $*" >&2; exit 1; }
export XDG_CONFIG_HOME="$work/config"

now_us() { echo $(($(date +%s%N) / 1000)); }

# One run: appends the wall time in microseconds and the peak memory in KB.
measure() {
    name=$1
    start=$(now_us)
    rss=$("$build/bench/$name" 2>/dev/null | sed -n 's/^peak_rss_kb //p')
    end=$(now_us)
    echo $((end - start)) >>"$work/$name.time"
    echo "$rss" >>"$work/$name.rss"
}

median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

compare() {
    label=$1
    rm -f "$work"/*.time "$work"/*.rss
    # One unmeasured run of each warms the file cache.
    "$build/bench/startup_bench" >/dev/null 2>&1
    "$build/bench/floor_window" >/dev/null 2>&1
    i=0
    while [ "$i" -lt "$runs" ]; do
        measure startup_bench
        measure floor_window
        i=$((i + 1))
    done
    pt=$(median "$work/startup_bench.time")
    ft=$(median "$work/floor_window.time")
    pm=$(median "$work/startup_bench.rss")
    fm=$(median "$work/floor_window.rss")
    awk -v l="$label" -v n="$runs" -v pt="$pt" -v ft="$ft" -v pm="$pm" -v fm="$fm" 'BEGIN {
        printf "%-10s %d runs each: wall %.1f ms vs floor %.1f ms (ratio %.3f); peak RSS %.1f MB vs floor %.1f MB (ratio %.3f)\n",
               l, n, pt / 1000, ft / 1000, pt / ft, pm / 1024, fm / 1024, pm / fm }'
}

QT_QPA_PLATFORM=offscreen compare offscreen

start_xvfb
start_session_bus
QT_QPA_PLATFORM=xcb compare xvfb

QT_QPA_PLATFORM=offscreen "$build/bench/latency_bench" 2>/dev/null
"$build/bench/check_bench" --benchmark_min_time=0.2 2>/dev/null | grep '^BM_'
