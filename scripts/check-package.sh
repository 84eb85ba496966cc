#!/bin/sh
# Builds the Debian package, installs it, starts the installed program as a
# smoke test, and removes the package again. Needs root or sudo.
# Usage: scripts/check-package.sh [build dir]
set -eu
build=${1:-build}
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$build/package"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/package/pelmora_1.00_*.deb)
echo "package: $deb"
dpkg-deb --field "$deb" Version | grep -qx '1.00' || fail "version is not 1.00"
dpkg-deb --field "$deb" Depends | grep -q 'libqt6widgets6' || fail "dependencies were not computed"
echo "depends: $(dpkg-deb --field "$deb" Depends)"

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
home=$(mktemp -d)
XDG_CONFIG_HOME="$home" QT_QPA_PLATFORM=offscreen /usr/bin/dravon &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || fail "installed program did not stay up"
kill -TERM "$pid"
wait "$pid" || fail "installed program ended with status $?"
grep -q 'Current%20mode=" 1"' "$home/Orvane.conf" || fail "installed program wrote no settings"
rm -rf "$home"

DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq pelmora >/dev/null
[ ! -e /usr/bin/dravon ] || fail "package removal left /usr/bin/dravon"
echo "package check: ok"
