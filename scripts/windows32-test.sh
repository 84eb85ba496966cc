#!/bin/sh
# The Windows tests on the shipped 32-bit program and installer: the core's
# tests, the end-to-end test and the package round trip, in the release's own
# build folder, where this machine runs 32-bit programs and the 32-bit Wine
# could be installed. Elsewhere the 64-bit build (make windows-test) stands
# in, and the 32-bit release is only installed and removed.
# Usage: scripts/windows32-test.sh [release build folder]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build-release-windows}
stand_in() {
    echo "$1: the 64-bit build stood in for the shipped 32-bit Dravon.exe and MSI."
    cmake --build "$build" --target windows_package_check
}
if ! ./scripts/runs-32-bit.sh; then
    stand_in "This machine runs no 32-bit programs"
elif ! dpkg-query -W -f='${db:Status-Status}\n' wine32:i386 2>/dev/null | grep -qx installed; then
    stand_in "The 32-bit Wine could not be installed from this machine's package lists"
else
    cmake --build "$build" -j2
    ctest --test-dir "$build" --output-on-failure --no-tests=error
fi
