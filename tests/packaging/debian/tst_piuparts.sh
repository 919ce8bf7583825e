#!/usr/bin/env bash
# piuparts installs the package into a clean Debian 12 (bookworm), upgrades
# nothing, removes and purges it, and checks that nothing is left behind and
# nothing fails on the way. The clean system is made once with debootstrap
# from Debian's archive and kept in the build tree. Needs root and the network.
#   tst_piuparts.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "${BASH_SOURCE[0]}")/../../common.sh"
mirror=http://deb.debian.org/debian

base=$build/piuparts/bookworm.tar.gz
if [ ! -s "$base" ]; then
    mkdir -p "$build/piuparts"
    debootstrap --variant=minbase bookworm "$work/chroot" "$mirror" >"$work/debootstrap.log" 2>&1 ||
        { tail -20 "$work/debootstrap.log" >&2; fail "debootstrap"; }
    tar -C "$work/chroot" -czf "$base.part" . && mv "$base.part" "$base"
fi

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >cpack.log 2>&1) ||
    { cat "$work/cpack.log" >&2; fail "cpack"; }
piuparts --basetgz="$base" --distribution=bookworm --mirror="$mirror main" \
    --tmpdir="$work" "$work"/zoomatch_*.deb >"$work/piuparts.log" 2>&1 ||
    { tail -40 "$work/piuparts.log" >&2; fail "piuparts"; }
echo "tst_piuparts: 1 passed, 0 failed"
