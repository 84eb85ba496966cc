#!/bin/sh
# Builds every file a user downloads into one folder (dist/, or the folder
# given): the Debian package, the Windows installer and portable zip, the
# source, and SHA256SUMS. Two runs from the same commit, in any folder and at
# any time, give byte-identical files: every time stamp is the commit's
# (SOURCE_DATE_EPOCH), and no build path reaches a binary.
#
# The source archive is the commit, so a tree with uncommitted changes would
# ship programs built from other sources than the archive: that is refused,
# unless --uncommitted is given, and then the release says so in a file
# UNCOMMITTED beside the others.
#
# The files are built in a fresh folder of the script's own beside the
# target and renamed into it at the end, SHA256SUMS last; an earlier
# release's files there, of whatever version, are removed first, so that the
# folder holds one release and SHA256SUMS lists all of it. The target is
# made here only where nothing stands in its place; an existing one must be
# the user's own folder holding nothing but release files.
# Usage: scripts/release.sh [--uncommitted] [folder]
set -eu
uncommitted=""
if [ "${1:-}" = --uncommitted ]; then
    uncommitted=yes
    shift
fi
# The folder is the caller's, named from where the caller stands; a symbolic
# link in its place is refused, not followed.
target=${1:-dist}
dist="$(realpath -m "$(dirname "$target")")/$(basename "$target")"
cd "$(dirname "$0")/.."
fail() { echo "release: $*" >&2; exit 1; }

changes=$(git status --porcelain --untracked-files=no)
if [ -n "$changes" ] && [ -z "$uncommitted" ]; then
    fail "uncommitted changes; commit them, or build a marked release with --uncommitted:
$changes"
fi

# What a release folder holds, and nothing else.
is_release_file() {
    case "$1" in
        pelmora_*_amd64.deb | pelmora-*-win32.msi | pelmora-*-win32.zip | pelmora-*.tar.gz | SHA256SUMS | UNCOMMITTED) ;;
        *) return 1 ;;
    esac
}
# Fails unless the folder $1 is the user's own and holds only release files.
check_target() {
    [ -d "$1" ] && [ ! -L "$1" ] && [ -O "$1" ] || fail "$dist is not a folder of yours"
    for entry in "$1"/* "$1"/.[!.]* "$1"/..?*; do
        [ -e "$entry" ] || [ -L "$entry" ] || continue
        { [ -f "$entry" ] && [ ! -L "$entry" ] && is_release_file "$(basename "$entry")"; } ||
            fail "$dist holds $(basename "$entry"), which no release makes: give an empty or new folder"
    done
}
[ -d "$(dirname "$dist")" ] || fail "there is no folder $(dirname "$dist")"
if [ -e "$dist" ] || [ -L "$dist" ]; then check_target "$dist"; fi

./scripts/install-deps.sh windows
version=$(cmake -P cmake/Identity.cmake)
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
umask 022

# Fresh build folders, so that nothing built before, at another time, ships,
# and a fresh folder the finished files are gathered in, on the target's
# file system, so that each move into it is a rename.
rm -rf build-release build-release-windows
stage=$(mktemp -d "$(dirname "$dist")/.release-stage.XXXXXX")
work=$stage pids=""
. tests/display.sh
end_on_every_end

# The Linux program, stripped, in its Debian package.
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DPELMORA_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j2
(cd build-release && cpack -G DEB >/dev/null)

# The Windows program, 32-bit, in its installer and portable zip. The folder
# is configured with the Windows tests, which the gate runs on these very
# files where the machine runs 32-bit programs.
cmake -S . -B build-release-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
    >/dev/null
cmake --build build-release-windows -j2 --target windows_package

cp "build-release/package/pelmora_${version}_amd64.deb" "build-release-windows/pelmora-$version-win32.msi" \
    "build-release-windows/pelmora-$version-win32.zip" "$stage/"
git archive --format=tar --prefix="pelmora-$version/" HEAD | gzip -9 -n >"$stage/pelmora-$version.tar.gz"
if [ -n "$changes" ]; then
    {
        echo "This release was built from uncommitted changes: its programs differ from the source archive."
        echo "$changes"
    } >"$stage/UNCOMMITTED"
fi
(cd "$stage" && sha256sum -- * >SHA256SUMS)

# Into the target: made now if nothing stands in its place (mkdir makes it
# or fails), else checked again, since the build took minutes. Once inside
# it, what its name points at no longer matters.
mkdir -m 755 "$dist" 2>/dev/null || check_target "$dist"
cd -P "$dist"
[ -O . ] || fail "$dist is not a folder of yours"
# The old checksums go first: an interrupted release leaves none that are
# wrong. Then the earlier release's files (a mark of uncommitted changes
# included), the new files, and their checksums last.
rm -f SHA256SUMS
for file in *; do
    if is_release_file "$file" && [ ! -e "$stage/$file" ]; then rm -f -- "$file"; fi
done
for file in "$stage"/*; do [ "$(basename "$file")" = SHA256SUMS ] || mv -f "$file" .; done
mv -f "$stage/SHA256SUMS" .
[ -z "$changes" ] || echo "release: built from uncommitted changes, marked in $dist/UNCOMMITTED" >&2
echo "release: $dist"
cat SHA256SUMS
