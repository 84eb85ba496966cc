#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a bounded time,
# starting from the committed seed corpus. A crash input is copied into the
# target's corpus folder, where the replay test keeps it as a regression test
# once committed.
# Usage: scripts/fuzz.sh [seconds per target] [build dir]
set -eu
seconds=${1:-20}
build=${2:-build-fuzz}
cd "$(dirname "$0")/.."

CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPELMORA_WITH_WINDOW=OFF -DPELMORA_FUZZ=ON >/dev/null
cmake --build "$build" -j2 --target checks_fuzz number_text_fuzz checker_state_fuzz settings_edit_fuzz >/dev/null

work=$(mktemp -d)
pids=""
. tests/display.sh
end_on_every_end
status=0
for target in checks number_text checker_state settings_edit; do
    # What the run finds new, and what fails, in folders of the run's own.
    mkdir "$work/$target" "$work/$target.failures"
    # Inputs up to 1 MB for the checks; small inputs say all there is to the others.
    case $target in checks) max_len=1048576 ;; *) max_len=4096 ;; esac
    if run_started "$build/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -max_len="$max_len" \
        -print_final_stats=1 -artifact_prefix="$work/$target.failures/" "$work/$target" "tests/fuzz/corpus/$target" \
        >"$work/$target.log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
        echo "fuzz $target: $runs executions in ${seconds}s, no failure"
    else
        echo "fuzz $target: FAILED" >&2
        tail -n 40 "$work/$target.log" >&2
        for crash in "$work/$target.failures"/*; do
            [ -f "$crash" ] && cp "$crash" "tests/fuzz/corpus/$target/" && echo "kept $(basename "$crash") in tests/fuzz/corpus/$target" >&2
        done
        status=1
    fi
done
exit $status
