#!/bin/sh
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the test suite there; any report fails the run.
# Usage: scripts/sanitize.sh [build dir]
set -eu
build=${1:-build-asan}
cd "$(dirname "$0")/.."
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DPELMORA_SANITIZE=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build "$build" -j2 >/dev/null
# A program that Qt ends with exit(), when its display goes, meets the leak
# check, which would report what the libraries under it leave allocated.
ASAN_OPTIONS=halt_on_error=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0" \
    ctest --test-dir "$build" --output-on-failure --no-tests=error -j2 -LE slow
