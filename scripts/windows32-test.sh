#!/bin/sh
# The Windows tests on the shipped 32-bit program and installer: the core's
# tests, the end-to-end test and the package round trip, in the release's own
# build folder, where this machine runs 32-bit programs. Elsewhere the 64-bit
# build (make windows-test) stands in, and the 32-bit release is only
# installed and removed.
# Usage: scripts/windows32-test.sh [release build folder]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build-release-windows}
if ./scripts/runs-32-bit.sh; then
    cmake --build "$build" -j2
    ctest --test-dir "$build" --output-on-failure --no-tests=error
else
    echo "This machine runs no 32-bit programs: the 64-bit build stood in for the shipped 32-bit Dravon.exe and MSI."
    cmake --build "$build" --target windows_package_check
fi
