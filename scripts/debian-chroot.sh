#!/bin/sh
# Runs the everyday tests and the Windows tests of this checkout on the
# other Debian release the project supports, in a chroot made with
# debootstrap: Debian 13 from Debian 12, Debian 12 from Debian 13 (or name
# the release). The prepared chroot and every package downloaded for it
# are kept in $PELMORA_CHROOT_CACHE (default /var/cache/pelmora), outside
# the checkout, and made anew only when the package lists change; the
# checkout, uncommitted changes included, is copied in afresh each run.
# Every mount is undone and every process in the chroot ended however the
# script ends. Needs root, as debootstrap and chroot do.
# Usage: scripts/debian-chroot.sh [bookworm|trixie]
set -eu
cd "$(dirname "$0")/.."
say() { echo "debian-chroot.sh: $*" >&2; }
here=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
release=${1:-$([ "$here" = bookworm ] && echo trixie || echo bookworm)}
case $release in
    bookworm) name="Debian 12" ;;
    trixie) name="Debian 13" ;;
    *) say "no release $release here: bookworm or trixie" && exit 2 ;;
esac
[ "$(id -u)" -eq 0 ] || { say "$name runs in a chroot, which only root can make" && exit 1; }
mirror=${PELMORA_DEBIAN_MIRROR:-http://deb.debian.org/debian}
cache=${PELMORA_CHROOT_CACHE:-/var/cache/pelmora}/$release
# What the chroot is made for: the tasks of scripts/install-deps.sh whose
# packages it holds, and the lists of packages there.
tasks="windows screen-reader"
lists="$release $tasks $(sha256sum scripts/install-deps.sh | cut -d' ' -f1)"

work=$(mktemp -d)
pids=""
. tests/display.sh
# What is mounted under the cache, deepest first, and undoing it under $1
# (lazily where a mount is still in use).
mounted() { awk -v under="$cache/" 'index($5, under) == 1 { print $5 }' /proc/self/mountinfo | sort -r; }
unmount_from() {
    for point in $(mounted); do
        case $point in "$1"/*) umount "$point" 2>/dev/null || umount -l "$point" ;; esac
    done
}
# The processes whose root is in the cache.
inside() {
    for root in /proc/[0-9]*/root; do
        case $(readlink "$root" 2>/dev/null) in "$cache"/*) pid=${root#/proc/} && echo "${pid%/root}" ;; esac
    done
}
# Every process in the chroot is asked to end and given up to 10 s (a test
# ends what it started as it ends), then killed, and waited for; each once,
# and one started meanwhile too. Then the script's own processes end, every
# mount is undone, and a chroot not finished is removed.
end_chroot() {
    for signal in TERM KILL; do
        signalled=" "
        for _ in $(seq 100); do
            [ -z "$(inside)" ] && break
            for pid in $(inside); do
                case $signalled in *" $pid "*) continue ;; esac
                kill "-$signal" "$pid" 2>/dev/null || true
                signalled="$signalled$pid "
            done
            sleep 0.1
        done
    done
    end_started
    unmount_from "$cache"
    rm -rf "$cache/new"
}
end_on_every_end end_chroot
fail() { say "$*"; exit 1; }
# One run at a time uses the cache.
mkdir -p "$cache"
exec 8>"$cache.lock"
flock -w 3600 8 || fail "another run has held $cache for an hour"

# The filesystems a system needs, the chroot's own /tmp and /dev/shm, and
# the folder this script was given for temporary files (TMPDIR), at the same
# place inside. Bind mounts are made slaves, so that nothing mounted or
# unmounted in them reaches the host's.
mount_into() {
    mount -t proc proc "$1/proc"
    mount -t sysfs sysfs "$1/sys"
    for point in /dev /dev/pts; do
        mount --bind "$point" "$1$point"
        mount --make-rslave "$1$point"
    done
    mount -t tmpfs tmpfs "$1/dev/shm"
    mount -t tmpfs tmpfs "$1/tmp"
    if [ -d "${TMPDIR:-}" ]; then
        mkdir -p "$1$TMPDIR"
        mount --bind "$TMPDIR" "$1$TMPDIR"
        mount --make-rslave "$1$TMPDIR"
    fi
}
# The checkout as it stands, its untracked files too, but not its builds.
copy_checkout() {
    mkdir -p "$1/tmp/pelmora"
    git ls-files -z --cached --others --exclude-standard |
        tar --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -xf - -C "$1/tmp/pelmora"
}
# Runs a command in the chroot $1, as root there, with a plain environment,
# within $2 seconds.
in_chroot() {
    root=$1 seconds=$2
    shift 2
    run_started timeout "$seconds" chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
        LANG=C.UTF-8 ${CI:+CI=$CI} ${TMPDIR:+TMPDIR=$TMPDIR} sh -c "$*"
}

# The chroot, made where there is none for these package lists: the base
# system from the mirror, then what the tests need, downloaded into the
# cache, where the next one made finds it.
if [ "$(cat "$cache/root/.pelmora-lists" 2>/dev/null)" != "$lists" ]; then
    echo "Making a $name chroot in $cache (kept for later runs)"
    wget -q -T 15 -t 2 -O /dev/null "$mirror/dists/$release/Release" ||
        fail "no $name chroot can be made: the mirror $mirror cannot be reached"
    mkdir -p "$cache/archives"
    run_started timeout 1200 debootstrap --variant=minbase --cache-dir="$cache/archives" "$release" "$cache/new" \
        "$mirror" >"$work/debootstrap" 2>&1 ||
        fail "no $name chroot could be made: $(grep -E '^(E|W):' "$work/debootstrap" | tail -n 1)"
    {
        echo "deb $mirror $release main"
        echo "deb $mirror $release-updates main"
        echo "deb ${PELMORA_DEBIAN_SECURITY:-http://deb.debian.org/debian-security} $release-security main"
    } >"$cache/new/etc/apt/sources.list"
    mount_into "$cache/new"
    mount --bind "$cache/archives" "$cache/new/var/cache/apt/archives"
    copy_checkout "$cache/new"
    in_chroot "$cache/new" 1800 "cd /tmp/pelmora && for task in $tasks; do ./scripts/install-deps.sh \$task || exit; done" ||
        fail "the packages the tests need could not be installed in the $name chroot"
    unmount_from "$cache/new"
    echo "$lists" >"$cache/new/.pelmora-lists"
    rm -rf "$cache/root"
    mv "$cache/new" "$cache/root"
fi

echo "On $name (chroot in $cache/root): make test, make windows-test, the 32-bit Windows tests, the screen reader"
mount_into "$cache/root"
copy_checkout "$cache/root"
in_chroot "$cache/root" 3600 'cd /tmp/pelmora && make test && make windows-test &&
    cmake -S . -B build-windows32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null &&
    ./scripts/windows32-test.sh build-windows32 && make screen-reader-test' || fail "the tests on $name failed (above)"
echo "$name: passed"
