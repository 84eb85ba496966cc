#!/bin/sh
# Checks the Debian package against Debian's rules with lintian (no error, no
# warning), installs it, starts the installed program as a smoke test, and
# removes the package again. Needs root or sudo.
# Usage: scripts/check-package.sh [package, by default the release's]
set -eu
deb=${1:-$(ls dist/pelmora_*_amd64.deb | head -n 1)}
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$deb" ] || fail "no package at $deb"
echo "package: $deb"
# Only informational notes may remain.
findings=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v '^running with root privileges' || true)
[ -z "$findings" ] || fail "lintian: $findings"
echo "lintian: no error, no warning"
listing=$(dpkg-deb -c "$deb")
for file in /usr/share/doc/pelmora/copyright /usr/share/doc/pelmora/changelog.gz /usr/share/man/man1/dravon.1.gz; do
    echo "$listing" | grep -q " \.$file\$" || fail "the package lacks $file"
done
version=$(cmake -P "$(dirname "$0")/../cmake/Identity.cmake")
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "version is not $version"
dpkg-deb --field "$deb" Depends | grep -q 'libqt6widgets6' || fail "dependencies were not computed"
echo "depends: $(dpkg-deb --field "$deb" Depends)"

# The package installed here is removed however the script ends.
. "$(dirname "$0")/../tests/display.sh"
work=$(mktemp -d)
pids=""
installed=""
end_check() {
    end_started
    [ -z "$installed" ] || DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq pelmora >/dev/null
}
end_on_every_end end_check
installed=yes
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$(realpath "$deb")" >/dev/null
for file in /usr/bin/dravon \
            /usr/share/applications/com.example.Pelmora.desktop \
            /usr/share/metainfo/com.example.Pelmora.metainfo.xml \
            /usr/share/icons/hicolor/16x16/apps/com.example.Pelmora.png \
            /usr/share/icons/hicolor/32x32/apps/com.example.Pelmora.png \
            /usr/share/icons/hicolor/48x48/apps/com.example.Pelmora.png \
            /usr/share/icons/hicolor/scalable/apps/com.example.Pelmora.svg; do
    [ -f "$file" ] || fail "$file not installed"
done

# Smoke test: the installed program starts, and ends cleanly on SIGTERM,
# leaving its settings behind.
XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=offscreen /usr/bin/dravon &
pids=$!
wait_ready "$pids"
kill -TERM "$pids"
wait "$pids" || fail "installed program ended with status $?"
forget "$pids"
grep -q 'Current%20mode=" 1"' "$work/Orvane.conf" || fail "installed program wrote no settings"

DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq pelmora >/dev/null
installed=""
[ ! -e /usr/bin/dravon ] || fail "package removal left /usr/bin/dravon"
echo "package check: ok"
