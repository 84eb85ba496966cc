#!/bin/sh
# Installs the Debian packages a task needs, but only those that are missing,
# so a second run costs nothing. Usage: install-deps.sh [what], where what is
#   run            building and running the program (the default)
#   test           and building and running every test and benchmark
#   windows        and building, packaging and testing the Windows program
#   screen-reader  and the screen-reader test
#   images         the screenshot and the icons (scripts/screenshot.sh,
#                  scripts/make-icons.sh)
#   gate           everything the full gate needs
# A plain Debian 12 or 13 system has neither sudo nor the process tools: run
# this as root there, and every tool the scripts call is installed here. The
# names hold on both releases: where a name carries a version (ImageMagick's
# coders), the one apt offers is taken.
set -eu

# Building and running: the compiler and build tools, Qt, the window's
# fonts, libICE, without which a lost session manager would end the
# program, and libxcb, with which it asks an X window manager for its frame.
run="cmake g++ make pkg-config qt6-base-dev libgl-dev fonts-liberation2 libice-dev libxcb1-dev"
# The tests: GoogleTest and Google Benchmark; Xvfb, xdotool, xprop and
# xwininfo, four window managers that frame windows their own ways, weston and a
# session manager built on libSM for the end-to-end tests, with a session bus
# of their own; Qt's private headers, with which a widget test switches
# accessibility on as a screen reader does; a wider face for the caption fit;
# the desktop files' validators; the resource compiler for the Windows version record; pgrep for
# the waits on processes; strace, which shows how the settings file is
# replaced; and what the Debian package is built with.
test="libgtest-dev libbenchmark-dev qt6-base-private-dev xvfb xauth xdotool x11-utils openbox xfwm4 metacity mutter libsm-dev weston qt6-wayland dbus-daemon procps strace
  fonts-dejavu-core desktop-file-utils appstream binutils-mingw-w64-x86-64 cpp binutils dpkg-dev file git"
# The Windows program: the MinGW-w64 cross compilers, Wine to run it, msitools,
# zip and faketime to package it, and a window manager, an X11 panel and
# ImageMagick's screenshots to test it under.
windows="g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wixl msitools zip unzip faketime openbox libx11-dev imagemagick"
# The screen reader, its speech server, the accessibility bus and a window
# manager, for the test of what a blind user hears.
screen_reader="orca speech-dispatcher python3-speechd openbox at-spi2-core dbus dbus-x11 dbus-bin procps"
# The screenshot: the program on Xvfb, focused with xdotool, captured with
# ImageMagick, which also renders the icons (its extra coders read SVG).
images="xvfb xauth xdotool dbus-daemon imagemagick libmagickcore-[0-9]*.q16-[0-9]*-extra"
# The full gate adds the clang tools (libFuzzer and the sanitizers' runtime
# of the release's own clang, clang-format, clang-tidy), lintian for the
# Debian package and debootstrap, with which it runs the tests on the other
# Debian release too.
case "${1:-run}" in
    run) packages="$run" ;;
    test) packages="$run $test" ;;
    windows) packages="$run $test $windows" ;;
    screen-reader) packages="$run $test $screen_reader" ;;
    images) packages="$run $images" ;;
    gate) packages="$run $test $windows $screen_reader clang libclang-rt-dev clang-format clang-tidy lintian debootstrap" ;;
    *)
        echo "install-deps.sh: unknown task ${1}" >&2
        exit 2
        ;;
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

# The package apt offers, or has installed, for a name with a version in it
# (a shell pattern); nothing where it offers none.
offered() {
    apt-cache pkgnames "${1%%[[*]*}" 2>/dev/null | while read -r name; do
        case $name in $1) echo "$name" ;; esac
    done | sort -V | tail -n 1
}
installed() { dpkg-query -W -f='${db:Status-Status}\n' "$1" 2>/dev/null | grep -qx installed; }
missing=""
for p in $packages; do
    case $p in *\**) name=$(offered "$p") && [ -n "$name" ] && p=$name ;; esac
    installed "$p" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    sudo=""
elif command -v sudo >/dev/null; then
    sudo="sudo"
else
    # Nothing here can install them: say which, and how, as root.
    {
        echo "install-deps.sh: these Debian packages are missing:$missing"
        echo "Install them as root, then run this again:"
        printf '    %sapt-get update; apt-get install -y --no-install-recommends%s\n' \
            "${i386:+dpkg --add-architecture i386 && }" "$missing"
    } >&2
    exit 1
fi
echo "Installing:$missing"
[ -n "${i386:-}" ] && $sudo dpkg --add-architecture i386
# A mirror in the middle of a sync, or one source gone, fails the refresh of
# its list but leaves the others: what they offer is installed all the same,
# and the install itself says what is not there.
$sudo apt-get update -qq ||
    echo "install-deps.sh: warning: not every package list could be refreshed (above); installing from those there are" >&2
# Names of the release that were not known before the refresh.
resolved=""
for p in $missing; do
    case $p in *\**) name=$(offered "$p") && [ -n "$name" ] && p=$name ;; esac
    resolved="$resolved $p"
done
install() {
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $1
}
install "$resolved" && exit 0
# The 32-bit Wine needs the i386 lists to match the installed system's
# updates, which a list not refreshed may not: without it the Windows tests
# run the 64-bit build of the same sources (scripts/windows32-test.sh).
case " $resolved " in *" wine32:i386 "*) ;; *) exit 1 ;; esac
install "$(echo "$resolved" | sed 's/ wine32:i386//')" || exit 1
echo "install-deps.sh: the 32-bit Wine (wine32:i386) cannot be installed from these package lists; the Windows tests will run the 64-bit build"
