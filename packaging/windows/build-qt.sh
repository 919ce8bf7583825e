#!/usr/bin/env bash
# Cross-builds Qt 6.4.2 (qtbase) for 64-bit Windows from Debian's own source
# package, with Debian's patches, and installs it into a cache folder outside
# the source tree. Prints that folder. The folder's name carries a key made of
# the source package's .dsc (version, tarballs, patches) and this script (the
# configure flags), so Qt is built once per machine and again only when one of
# those changes.
#   windows/build-qt.sh           build if needed, print the Qt prefix
# Needs: dpkg-dev, g++-mingw-w64-x86-64-posix, cmake, ninja-build, qt6-base-dev
# (the host tools: moc, rcc, uic) and a deb-src entry for bookworm main.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cache=${ZOOMATCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zoomatch}
source_version=6.4.2+dfsg-10

mkdir -p "$cache/sources"
dsc=$cache/sources/qt6-base_${source_version}.dsc
if [ ! -f "$dsc" ]; then
    (cd "$cache/sources" && apt-get source --download-only -qq "qt6-base=$source_version") >&2 2>/dev/null ||
        (cd "$cache/sources" && apt-get source --download-only "qt6-base=$source_version" >&2)
fi
key=$(cat "$dsc" "$here/build-qt.sh" "$here/mingw-w64-x86_64.cmake" | sha256sum | cut -c1-12)
prefix=$cache/qt-6.4.2-mingw64-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work=$cache/work-mingw64-$key
rm -rf "$work" "$prefix"
mkdir -p "$work"
echo "Building Qt 6.4.2 for Windows once on this machine (about 20 minutes); log: $work/build.log" >&2
dpkg-source --no-check -x "$dsc" "$work/src" >"$work/build.log" 2>&1

# Only what the quiz uses: Core, Gui, Widgets, the windows platform plugin and
# Test. OpenGL is switched off as configure -no-opengl does it (which also
# drops dynamic GL); Debian's tarball has no wintab, so no tablet events;
# the DirectWrite 3 font database needs Direct2D, which the quiz has no use for.
# The quiz draws plain text in one font, with no style sheets, pictures,
# dialogs or graphics scenes, so the parts of Gui and Widgets for those are
# off, as is Qt's own MIME database: less to build and to ship.
if ! {
    cmake -S "$work/src" -B "$work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=ON \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF \
        -DFEATURE_concurrent=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
        -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF \
        -DFEATURE_androiddeployqt=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF \
        -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_mimetype_database=OFF \
        -DFEATURE_ico=OFF -DFEATURE_movie=OFF -DFEATURE_pdf=OFF -DFEATURE_textodfwriter=OFF \
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
    echo "Qt for Windows failed to build; the whole log is $work/build.log" >&2
    exit 1
fi
# The Qt licence texts travel with the packages built against it.
mkdir -p "$prefix/licenses"
cp "$work/src/LICENSES/"*.txt "$prefix/licenses/"
cp "$work/src/debian/copyright" "$prefix/licenses/debian-copyright"
cp "$dsc" "$prefix/licenses/"
cp "$work/src/debian/patches/series" "$prefix/licenses/debian-patches-series"
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
