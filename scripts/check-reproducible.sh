#!/bin/sh
# Builds the release twice, into dist/ from this checkout and again from a
# fresh clone in another folder, and fails on any file that differs, naming
# it. Usage: scripts/check-reproducible.sh
set -eu
cd "$(dirname "$0")/.."
other=$(mktemp -d)
work=$other pids=""
. tests/display.sh
end_on_every_end

./scripts/release.sh dist
git clone -q . "$other/pelmora-elsewhere"
(cd "$other/pelmora-elsewhere" && ./scripts/release.sh "$other/dist") >"$other/log" 2>&1 ||
    { cat "$other/log" >&2; echo "FAIL: the second release build failed" >&2; exit 1; }

status=0
[ "$(ls dist)" = "$(ls "$other/dist")" ] || { echo "FAIL: the two builds made different files" >&2; status=1; }
for file in dist/*; do
    cmp -s "$file" "$other/dist/$(basename "$file")" ||
        { echo "FAIL: $(basename "$file") differs between the two builds" >&2; status=1; }
done
[ "$status" -eq 0 ] && echo "reproducible: every file of the release is the same in both builds"
exit "$status"
