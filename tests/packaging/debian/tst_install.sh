#!/usr/bin/env bash
# Installs the build into a staging folder: exactly the program, its desktop
# entry, metainfo, icons, manual page, copyright notice and changelog, which
# the desktop validators accept; and the Windows version resource's version.
#   tst_install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "${BASH_SOURCE[0]}")/../../common.sh"

cmake --install "$build" --prefix "$work/usr" >/dev/null
expected="usr/bin/zoomatch
usr/share/applications/org.example.zoomatch.desktop
usr/share/doc/zoomatch/changelog.gz
usr/share/doc/zoomatch/copyright
usr/share/icons/hicolor/128x128/apps/org.example.zoomatch.png
usr/share/icons/hicolor/32x32/apps/org.example.zoomatch.png
usr/share/icons/hicolor/64x64/apps/org.example.zoomatch.png
usr/share/man/man1/zoomatch.1.gz
usr/share/metainfo/org.example.zoomatch.metainfo.xml"
installed=$(cd "$work" && find . -type f -printf '%P\n' | LC_ALL=C sort)
[ "$installed" = "$expected" ] || fail "installed files differ:"$'\n'"$installed"
[ -x "$work/usr/bin/zoomatch" ] || fail "the program is not executable"

for size in 32 64 128; do
    # A PNG's width and height are the two big-endian words after its signature and IHDR tag.
    dims=$(od -An -tx1 -j16 -N8 "$work/usr/share/icons/hicolor/${size}x${size}/apps/org.example.zoomatch.png" | tr -d ' \n')
    [ "$dims" = "$(printf '%08x%08x' "$size" "$size")" ] || fail "the ${size}x${size} icon is $dims"
done

desktop=$work/usr/share/applications/org.example.zoomatch.desktop
metainfo=$work/usr/share/metainfo/org.example.zoomatch.metainfo.xml
out=$(desktop-file-validate "$desktop") && [ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'Categories=Education;Biology;' "$desktop" || fail "the desktop entry's categories"
appstreamcli validate --no-net "$metainfo" >/dev/null || fail "appstreamcli validate objects"
grep -q '<release version="1.0.0.0"' "$metainfo" || fail "the metainfo has no release 1.0.0.0"

rc="$build/window/zoomatch.rc"
grep -qx 'FILEVERSION 1,0,0,0' "$rc" || fail "FILEVERSION in $rc"
grep -qx 'PRODUCTVERSION 1,0,0,0' "$rc" || fail "PRODUCTVERSION in $rc"
grep -q 'VALUE "FileVersion", "1.0.0.0\\0"' "$rc" || fail "the FileVersion string in $rc"
echo "tst_install: 1 passed, 0 failed"
