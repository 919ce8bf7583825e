#!/usr/bin/env bash
# Builds the quiz for WebAssembly and writes the static site build-web/:
# the page, its loader, zoomatch.js and zoomatch.wasm, the icon, the licence
# texts and the note on the source, with the project's source beside it.
# Called by ./build.sh web, which installs the Debian packages first.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cache=${ZOOMATCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zoomatch}

qt=$(web/build-qt.sh)
# shellcheck source=emscripten-env.sh
. web/emscripten-env.sh
zoomatch_emscripten_env "$cache"

tree=build-wasm
# A tree configured against another build of Qt starts again: CMake keeps the
# toolchain it was first given.
if [ -f "$tree/CMakeCache.txt" ] && ! grep -qF "$qt/" "$tree/CMakeCache.txt"; then
    rm -rf "$tree"
fi
mkdir -p "$tree"
if ! {
    cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" &&
        cmake --build "$tree" --target zoomatch
} >"$tree/build.log" 2>&1; then
    cat "$tree/build.log" >&2
    echo "Build failed; the log above is also in $tree/build.log" >&2
    exit 1
fi

site=build-web
rm -rf "$site"
mkdir -p "$site/licenses"
cp web/index.html web/loader.js window/hamburger.ico "$tree/window/zoomatch.js" \
    "$tree/window/zoomatch.wasm" "$site/"
cp /usr/share/common-licenses/GPL-3 "$site/licenses/GPL-3.0.txt"
cp /usr/share/common-licenses/LGPL-3 "$site/licenses/LGPL-3.0.txt"
cp -r "$qt/licenses" "$site/licenses/qt"
cp /usr/share/doc/fonts-liberation/copyright "$site/licenses/fonts-liberation-copyright.txt"
cp /usr/share/doc/emscripten/copyright "$site/licenses/emscripten-copyright.txt"

# The project's source as built: the files under version control, as they
# stand in the working tree, or the whole tree outside a git checkout.
name=zoomatch-$(sed -n 's/^project(zoomatch VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    revision=$(git rev-parse HEAD)
    git diff --quiet HEAD 2>/dev/null || revision="$revision (with local changes)"
    git ls-files -z --cached --others --exclude-standard |
        tar --null -T - --transform "s,^,$name/," -czf "$site/$name-source.tar.gz"
else
    revision="no git revision"
    tar --exclude='./build*' --exclude=./.git --transform "s,^\.,$name," \
        -czf "$site/$name-source.tar.gz" .
fi
qt_dsc=$(basename "$(ls "$qt/licenses/"*.dsc)")
qt_version=${qt_dsc#qt6-base_}
qt_version=${qt_version%.dsc}
sed -e "s|@NAME@|$name|g" -e "s|@REVISION@|$revision|g" \
    -e "s|@QT_VERSION@|$qt_version|g" -e "s|@QT_DSC@|$qt_dsc|g" \
    -e "s|@QT_VERSION_URL@|${qt_version//+/%2B}|g" \
    web/SOURCE.html.in >"$site/SOURCE.html"
echo "The quiz for web browsers is in $site/ (try: python3 -m http.server -b 127.0.0.1 -d $site)"
