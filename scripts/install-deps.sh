#!/bin/sh
# Installs the Debian packages that building, running and testing need
# (with "gate", also what the full gate needs), but only those that are
# missing, so a second run costs nothing.
set -eu

packages="
  cmake g++ make pkg-config
  libgtest-dev libbenchmark-dev
  qt6-base-dev libgl-dev fonts-liberation2 fonts-dejavu-core
  xvfb xauth xdotool libice-dev libsm-dev weston qt6-wayland
  desktop-file-utils appstream binutils-mingw-w64-x86-64 dpkg-dev file
"
# The Windows program: the MinGW-w64 cross compilers, Wine to run it and
# msitools and zip to package it.
windows="g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wixl msitools zip unzip faketime openbox libx11-dev"
# The screen reader, its speech server, the accessibility bus and a window
# manager, for the test of what a blind user hears.
screen_reader="orca speech-dispatcher python3-speechd openbox at-spi2-core dbus dbus-x11 procps"
# The full gate adds the clang tools (libFuzzer, clang-format, clang-tidy),
# the screen reader and the Windows build.
# The Debian package's check adds lintian.
case "${1:-}" in
    gate) packages="$packages clang libclang-rt-14-dev clang-format clang-tidy lintian $screen_reader $windows" ;;
    windows) packages="$packages $windows" ;;
    screen-reader) packages="$packages $screen_reader" ;;
esac
# The shipped Windows program is 32-bit: where this machine runs 32-bit
# programs, the 32-bit Wine too, which needs the i386 architecture.
case "${1:-}" in
    gate | windows)
        if "$(dirname "$0")/runs-32-bit.sh"; then
            dpkg --print-foreign-architectures | grep -qx i386 || i386="yes"
            packages="$packages wine32:i386"
        fi
        ;;
esac

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
[ -n "${i386:-}" ] && $sudo dpkg --add-architecture i386
$sudo apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
