#!/usr/bin/env bash
# Builds every release artifact of the checked-out commit into dist/, with
# their SHA256SUMS: both Windows editions (portable exe, NSIS installer, MSI),
# the web site as one archive, the Debian package and the source tarball.
# The same commit gives the same bytes, wherever the tree lies and whenever,
# under whatever umask, time zone and locale it is built: every time stamp is
# the commit's (SOURCE_DATE_EPOCH), archives are sorted and owned by root.
# Called by ./build.sh release, which installs the Debian packages first.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
umask 022
export TZ=UTC LC_ALL=C.UTF-8 LANGUAGE=
unset LANG
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
version=$(sed -n 's/^project(zoomatch VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=zoomatch-$version

# Runs a command quietly; shows its output only when it fails.
quietly() {
    local log
    log=$(mktemp)
    if ! "$@" >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        echo "Failed: $*" >&2
        exit 1
    fi
    rm -f "$log"
}

# A reproducible tar.gz of the folder DIR, its files under the prefix NAME/.
pack() {
    local dir=$1 prefix=$2 out=$3
    tar -C "$dir" --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner \
        --mode=u+rw,go+r,go-w,a+X --format=gnu --transform "s,^\.,$prefix," -cf - . |
        gzip -9n >"$out"
}

rm -rf dist
mkdir dist
# Windows: each edition configured afresh, so that no older cache keeps other flags.
for edition in win32 win64; do
    quietly cmake --preset $edition --fresh
    rm -rf "build-windows/$edition/packages"
    quietly cmake --build --preset $edition --target windows-packages
    cp "build-windows/$edition"/packages/zoomatch-* dist/
done
# The web site.
quietly packaging/web/build-web.sh
pack build-web "$name-web" "dist/$name-web.tar.gz"
# The Debian package.
quietly cmake --preset linux
quietly cmake --build --preset linux
rm -f build/*.deb
(cd build && quietly cpack -G DEB)
cp build/*.deb dist/
# The source as committed.
git archive --format=tar --prefix="$name/" HEAD | gzip -9n >"dist/$name.tar.gz"

(cd dist && sha256sum -- * >SHA256SUMS)
cat dist/SHA256SUMS
