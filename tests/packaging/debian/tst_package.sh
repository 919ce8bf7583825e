#!/usr/bin/env bash
# Builds the Debian package, checks its name, version, dependencies and files,
# that its program is stripped as Debian strips programs, and has lintian check
# it, pedantic and informational tags included. It packs under a umask that
# lets the group write (tst_reproducible shows the umask changes nothing).
#   tst_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "${BASH_SOURCE[0]}")/../../common.sh"

(cd "$work" && umask 002 && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >cpack.log 2>&1) ||
    { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/zoomatch_1.0.0.0_*.deb 2>/dev/null) || fail "no zoomatch_1.0.0.0_*.deb"

info=$(dpkg-deb -I "$deb")
grep -qx ' Version: 1.0.0.0' <<<"$info" || fail "version: $info"
depends=$(grep '^ Depends:' <<<"$info") || fail "no dependencies"
for package in fonts-liberation libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6; do
    grep -q "\b$package\b" <<<"$depends" || fail "$package missing from$depends"
done
grep -qx ' Recommends: qt6-wayland' <<<"$info" || fail "recommends: $info"

# Exactly the files that an install puts in place (tst_install checks those).
cmake --install "$build" --prefix "$work/root/usr" >/dev/null
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort)
[ "$files" = "$(cd "$work/root" && find . -type f | LC_ALL=C sort)" ] ||
    fail "package files differ:"$'\n'"$files"

# The changelog's latest entry is this version.
latest=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc/zoomatch/changelog.gz | gzip -dc | sed -n 1p)
[[ $latest == "zoomatch (1.0.0.0) "* ]] || fail "the changelog starts with: $latest"

# Stripped, without the compiler's notes.
dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/bin/zoomatch >"$work/zoomatch"
sections=$(readelf -S -W "$work/zoomatch" | grep -oE ' \.(comment|note|symtab|debug_info) ' || true)
[ -z "$sections" ] || fail "the program has the sections$sections"

# Not one tag, not even an informational or pedantic one. As root, lintian
# also says that it would rather not run as root, which is not about the package.
lintian --pedantic --display-info "$deb" >"$work/lintian.log" 2>&1 || true
tags=$(grep -v '^running with root privileges' "$work/lintian.log" || true)
[ -z "$tags" ] || fail "lintian:"$'\n'"$tags"
echo "tst_package: 1 passed, 0 failed"
