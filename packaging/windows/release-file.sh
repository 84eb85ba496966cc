#!/bin/sh
# Builds one file of the Windows release the same way every time: the inputs
# are staged with fixed modes and the commit's time (SOURCE_DATE_EPOCH, else
# the last commit's), the zip carries no extra fields, and the installer is
# made with the clock frozen at that time and with codes that follow from
# what it packs.
# Usage: release-file.sh zip OUTPUT EXE README
#        release-file.sh msi OUTPUT WXS EXE ICON VERSION ARCH UPGRADE_CODE
set -eu
kind=$1
output=$(realpath -m "$2")
shift 2
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$(dirname "$0")" log -1 --format=%ct 2>/dev/null || echo 315532800)}
stage=$(mktemp -d)
work=$stage pids=""
. "$(dirname "$0")/../../tests/display.sh"
end_on_every_end

# Stages the files under their own names, readable by all, dated at the epoch.
stage() {
    for file in "$@"; do cp "$file" "$stage/"; done
    chmod 644 "$stage"/*
    touch -d "@$epoch" "$stage"/*
}
# A name-based UUID (version 5 layout) from the SHA-256 of standard input.
uuid() {
    sha256sum | cut -c1-32 | tr a-f A-F |
        sed 's/^\(.\{8\}\)\(.\{4\}\).\(.\{3\}\).\(.\{3\}\)\(.\{12\}\)$/\1-\2-5\3-A\4-\5/'
}

rm -f "$output"
case $kind in
zip)
    stage "$1" "$2"
    (cd "$stage" && TZ=UTC zip -X -q "$output" "$(basename "$1")" "$(basename "$2")")
    ;;
msi)
    wxs=$1 exe=$2 icon=$3 version=$4 arch=$5 upgrade_code=$6
    stage "$wxs" "$exe" "$icon"
    # The product code names the version; the package code names the bytes packed.
    product_code=$(printf '%s %s %s' "$upgrade_code" "$version" "$arch" | uuid)
    package_code=$( (cd "$stage" && sha256sum -- * && echo "$version $arch") | uuid)
    # The clock stopped at the epoch (-f: without it, it runs on from there,
    # and a build that takes longer than a second dates the package later).
    frozen() { TZ=UTC faketime -f "$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')" "$@"; }
    (cd "$stage" && frozen wixl --arch "$arch" -D Version="$version" -D Program="$(basename "$exe")" \
        -D Icon="$(basename "$icon")" -D ProductCode="$product_code" -o "$output" "$(basename "$wxs")")
    # wixl draws the package code at random; set it, keeping the rest.
    summary() { msiinfo suminfo "$output" | sed -n "s/^$1: //p"; }
    frozen msibuild "$output" -s "$(summary Subject)" "$(summary Author)" "$(summary Template)" "{$package_code}"
    ;;
*)
    echo "release-file.sh: unknown kind $kind" >&2
    exit 2
    ;;
esac
