#!/usr/bin/env bash
# Builds the Debian package and checks its name, version, dependencies and files.
#   tst_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >cpack.log 2>&1) ||
    { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/zoomatch_1.0.0.0_*.deb 2>/dev/null) || fail "no zoomatch_1.0.0.0_*.deb"

info=$(dpkg-deb -I "$deb")
grep -qx ' Version: 1.0.0.0' <<<"$info" || fail "version: $info"
depends=$(grep '^ Depends:' <<<"$info") || fail "no dependencies"
for package in fonts-liberation libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6; do
    grep -q "\b$package\b" <<<"$depends" || fail "$package missing from$depends"
done

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort)
expected="./usr/bin/zoomatch
./usr/share/applications/org.example.zoomatch.desktop
./usr/share/icons/hicolor/128x128/apps/org.example.zoomatch.png
./usr/share/icons/hicolor/32x32/apps/org.example.zoomatch.png
./usr/share/icons/hicolor/64x64/apps/org.example.zoomatch.png
./usr/share/metainfo/org.example.zoomatch.metainfo.xml"
[ "$files" = "$expected" ] || fail "package files differ:"$'\n'"$files"
echo "tst_package: 1 passed, 0 failed"
