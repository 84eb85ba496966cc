#!/bin/sh
# Builds every file a user downloads into one folder (dist/, or $1): the
# Debian package, the Windows installer and portable zip, the source, and
# SHA256SUMS. Two runs from the same commit, in any folder and at any time,
# give byte-identical files: every time stamp is the commit's
# (SOURCE_DATE_EPOCH), and no build path reaches a binary.
# Usage: scripts/release.sh [dist]
set -eu
cd "$(dirname "$0")/.."
dist=$(realpath -m "${1:-dist}")
./scripts/install-deps.sh windows

# The source archive is the commit; changes not yet committed would ship in
# the programs but not in it.
[ -z "$(git status --porcelain --untracked-files=no)" ] || echo "release: warning: uncommitted changes" >&2
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
umask 022
eval "$(sed -n 's/^set(PELMORA_VERSION_TEXT "\(.*\)")$/version=\1/p' cmake/Identity.cmake)"

# Fresh build folders, so that nothing built before, at another time, ships.
rm -rf build-release build-release-windows

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

rm -rf "$dist"
mkdir -p "$dist"
cp "build-release/package/pelmora_${version}_amd64.deb" "build-release-windows/pelmora-$version-win32.msi" \
    "build-release-windows/pelmora-$version-win32.zip" "$dist/"
git archive --format=tar --prefix="pelmora-$version/" HEAD | gzip -9 -n >"$dist/pelmora-$version.tar.gz"
(cd "$dist" && sha256sum -- *.deb *.msi *.zip *.tar.gz >SHA256SUMS)
echo "release: $dist"
cat "$dist/SHA256SUMS"
