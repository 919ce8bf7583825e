#!/usr/bin/env bash
# Builds Qt 6.4.2 (qtbase) for WebAssembly from Debian's own source package,
# with Debian's patches, using Debian's emscripten, and installs it into a
# cache folder outside the source tree. Prints that folder. The folder's name
# carries a key made of the source package's .dsc (version, tarballs,
# patches), the emscripten version and this folder's scripts (the configure
# flags), so Qt is built once per machine and again only when one of those
# changes.
#   web/build-qt.sh           build if needed, print the Qt prefix
# Needs: dpkg-dev, emscripten, cmake, ninja-build, qt6-base-dev (the host
# tools: moc, rcc, uic) and a deb-src entry for bookworm main.
#
# Qt here is single-threaded and static, built for size, with only what the
# quiz and its tests use: Core, Gui, Widgets, the wasm platform and Test.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cache=${ZOOMATCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zoomatch}
source_version=6.4.2+dfsg-10

# shellcheck source=emscripten-env.sh
. "$here/emscripten-env.sh"
zoomatch_emscripten_env "$cache"

mkdir -p "$cache/sources"
dsc=$cache/sources/qt6-base_${source_version}.dsc
if [ ! -f "$dsc" ]; then
    (cd "$cache/sources" && apt-get source --download-only -qq "qt6-base=$source_version") >&2 2>/dev/null ||
        (cd "$cache/sources" && apt-get source --download-only "qt6-base=$source_version" >&2)
fi
key=$(cat "$dsc" /usr/share/emscripten/emscripten-version.txt "$here/build-qt.sh" \
    "$here/emscripten-env.sh" "$here/qt-wasm-no-bundled-fonts.patch" | sha256sum | cut -c1-12)
prefix=$cache/qt-6.4.2-wasm-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work=$cache/work-wasm-$key
rm -rf "$work" "$prefix"
mkdir -p "$work"
echo "Building Qt 6.4.2 for WebAssembly once on this machine (about 15 minutes); log: $work/build.log" >&2
{
    dpkg-source --no-check -x "$dsc" "$work/src"
    patch -d "$work/src" -p1 <"$here/qt-wasm-no-bundled-fonts.patch"
} >"$work/build.log" 2>&1

# Built for size (-Os): the SSE2 emulation is off, since with it Qt compiles
# itself and its users at -O2 with 128-bit SIMD. The quiz draws plain text in
# one font, with no style sheets, pictures, dialogs or graphics scenes, so the
# parts of Gui and Widgets for those are off, as is Qt's own MIME database.
# HarfBuzz stays: without it the font's kerning is lost, and the lines of the
# output box came out a hundredth wider than on the desktop and broke elsewhere.
if ! {
    cmake -S "$work/src" -B "$work/build" -G Ninja \
        -DQT_QMAKE_TARGET_MKSPEC=wasm-emscripten \
        -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=OFF \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_thread=OFF -DFEATURE_sse2=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF \
        -DFEATURE_concurrent=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
        -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_mimetype_database=OFF \
        -DFEATURE_vulkan=OFF \
        -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF -DFEATURE_movie=OFF \
        -DFEATURE_pdf=OFF -DFEATURE_textodfwriter=OFF \
        -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF \
        -DFEATURE_systemtrayicon=OFF -DFEATURE_sessionmanager=OFF \
        -DFEATURE_style_stylesheet=OFF -DFEATURE_graphicsview=OFF \
        -DFEATURE_calendarwidget=OFF -DFEATURE_datetimeedit=OFF -DFEATURE_mdiarea=OFF \
        -DFEATURE_fontcombobox=OFF -DFEATURE_colordialog=OFF -DFEATURE_filedialog=OFF \
        -DFEATURE_fontdialog=OFF -DFEATURE_wizard=OFF -DFEATURE_undoview=OFF \
        -DFEATURE_columnview=OFF -DFEATURE_datawidgetmapper=OFF \
        -DFEATURE_keysequenceedit=OFF -DFEATURE_dial=OFF -DFEATURE_lcdnumber=OFF \
        -DFEATURE_commandlinkbutton=OFF -DFEATURE_splashscreen=OFF \
        -DFEATURE_widgets=ON -DFEATURE_testlib=ON &&
        cmake --build "$work/build" &&
        cmake --install "$work/build"
} >>"$work/build.log" 2>&1; then
    tail -n 60 "$work/build.log" >&2
    echo "Qt for WebAssembly failed to build; the whole log is $work/build.log" >&2
    exit 1
fi
# The Qt licence texts and the note of its source travel with the page.
mkdir -p "$prefix/licenses"
cp "$work/src/LICENSES/"*.txt "$prefix/licenses/"
cp "$work/src/debian/copyright" "$prefix/licenses/debian-copyright"
cp "$dsc" "$prefix/licenses/"
cp "$work/src/debian/patches/series" "$prefix/licenses/debian-patches-series"
cp "$here/qt-wasm-no-bundled-fonts.patch" "$prefix/licenses/"
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
