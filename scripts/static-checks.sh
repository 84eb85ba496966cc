#!/bin/sh
# Fails on unformatted code and on warnings of the checks in .clang-tidy.
# Usage: scripts/static-checks.sh [build dir with compile_commands.json]
set -eu
build=${1:-build}
cd "$(dirname "$0")/.."

sources=$(git ls-files '*.cpp' '*.h' '*.h.in')
cpp_sources=$(git ls-files 'core/*.cpp' 'app/*.cpp' 'ui/*.cpp')

clang-format --dry-run -Werror $(echo "$sources" | grep -v '\.h\.in$')
echo "clang-format: ok"

# clang-tidy on the program's own sources; two at a time for the two cores.
echo "$cpp_sources" | xargs -P 2 -n 2 clang-tidy -p "$build" --quiet 2>/dev/null
echo "clang-tidy: ok"
