#!/bin/sh
# Compiles the Windows resource script with the MinGW resource compiler and
# checks that the compiled resource holds the whole version record.
# Usage: windows_version_record.sh path/to/dravon.rc
set -eu
rc=$1
out=$(mktemp -d)
work=$out pids=""
. "$(dirname "$0")/../display.sh"
end_on_every_end
fail() { echo "FAIL: $*" >&2; exit 1; }

cd "$(dirname "$rc")"
x86_64-w64-mingw32-windres --preprocessor=cpp --preprocessor-arg=-P -i "$(basename "$rc")" -O res -o "$out/dravon.res"

# Resource strings are UTF-16; each key and its value must be there.
strings -el "$out/dravon.res" >"$out/strings"
while IFS='|' read -r key value; do
    grep -qxF "$key" "$out/strings" || fail "missing key $key"
    grep -qxF "$value" "$out/strings" || fail "missing value '$value' for $key"
done <<'RECORD'
040904B0|040904B0
CompanyName|Orvane
FileDescription|Check the validity of credit card numbers and VAT registration codes
FileVersion|1.00
InternalName|Dravon
LegalCopyright|Copyright (C) 2026 Orvane. All rights reserved.
OriginalFilename|Dravon.exe
ProductName|Pelmora
ProductVersion|1.00
Translation|Translation
RECORD

hex=$(od -An -tx1 -v "$out/dravon.res" | tr -d ' \n')
# Fixed file info: signature, struct version, file and product version 1.0.0.0.
echo "$hex" | grep -q "bd04effe0000010000000100000000000000010000000000" || fail "numeric versions are not 1.0.0.0"
# Translation 0409 / 04B0, as two little-endian words.
echo "$hex" | grep -q "0904b004" || fail "translation is not 0409 04B0"
# The icon group holds the 16, 32 and 48 pixel images.
for size in 10 20 30; do
    echo "$hex" | grep -q "${size}${size}00" || fail "icon of ${size} (hex) pixels missing"
done
echo "windows version record: ok"
