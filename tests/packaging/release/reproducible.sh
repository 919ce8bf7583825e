#!/usr/bin/env bash
# Checks that a release is the same, byte for byte, wherever and whenever it
# is built: the release of this tree's commit (dist/, built first when it is
# missing or of another commit) against a second one built from a clone of
# the commit in another folder, later, with umask 002, another time zone and
# a Bulgarian locale. On a mismatch diffoscope shows where the files differ.
#   reproducible.sh SOURCE_DIR
set -euo pipefail
source_dir=$(cd "$1" && pwd)
cd "$source_dir"
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "SKIP: the tree has uncommitted changes; a release is built from a commit"
    exit 77
fi
name=zoomatch-$(sed -n 's/^project(zoomatch VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
source_sum=$(git archive --format=tar --prefix="$name/" HEAD | gzip -9n | sha256sum | cut -d' ' -f1)
if ! grep -qx "$source_sum  $name.tar.gz" dist/SHA256SUMS 2>/dev/null; then
    echo "dist/ is not the release of $(git rev-parse --short HEAD): building it"
    (umask 022 && packaging/release.sh >/dev/null)
fi

work=$(mktemp -d /tmp/zoomatch-release.XXXXXX)
trap 'rm -rf "$work"' EXIT
git clone -q --no-hardlinks "$source_dir" "$work/another folder"
mkdir "$work/locale"
localedef -i bg_BG -f UTF-8 "$work/locale/bg_BG.UTF-8" 2>/dev/null ||
    echo "note: no Bulgarian locale (localedef failed); building in the C locale"
(
    cd "$work/another folder"
    umask 002
    export LOCPATH="$work/locale"
    export TZ=Pacific/Kiritimati LANG=bg_BG.UTF-8 LC_ALL=bg_BG.UTF-8
    packaging/release.sh >"$work/release.log" 2>&1
) || {
    cat "$work/release.log"
    echo "FAIL: the second release did not build"
    exit 1
}

again="$work/another folder/dist"
if cmp -s dist/SHA256SUMS "$again/SHA256SUMS"; then
    echo "PASS: the same $(wc -l <dist/SHA256SUMS) files, byte for byte:"
    cat dist/SHA256SUMS
    exit 0
fi
echo "FAIL: the two releases differ:"
diff dist/SHA256SUMS "$again/SHA256SUMS" || true
for file in dist/* "$again"/*; do
    base=${file##*/}
    [ "$base" != SHA256SUMS ] || continue
    if [ ! -e "dist/$base" ] || [ ! -e "$again/$base" ]; then
        echo "only in one release: $base"
    elif ! cmp -s "dist/$base" "$again/$base" && [ "$file" = "dist/$base" ]; then
        echo "=== diffoscope: $base (first lines)"
        diffoscope --text - "dist/$base" "$again/$base" 2>&1 | head -n 60 || true
    fi
done
exit 1
