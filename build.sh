#!/usr/bin/env bash
# Builds zoomatch on Debian 12 from a fresh clone, installing any Debian
# packages that are missing first (with sudo when not run as root).
#   ./build.sh run    build and open the quiz window
#   ./build.sh test   build and run the whole test suite, headless, then again
#                     under the address and undefined-behaviour sanitizers
#   ./build.sh windows       cross-build for 64-bit Windows: the installer and
#                            the portable ZIP in build-windows/
#   ./build.sh windows-test  the same, then every test of the Windows build
#                            under Wine, and the installer end to end
#   ./build.sh web       build the quiz for web browsers (a page of HTML form
#                        controls and the quiz in WebAssembly) into the static
#                        site build-web/
#   ./build.sh web-test  the same, then the core's tests under Node and the
#                        page's tests in headless Chromium
# Quiet when everything is already in place; safe to run again.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

usage() {
    echo "usage: $0 run|test|windows|windows-test|web|web-test" >&2
    exit 2
}
[ $# -eq 1 ] || usage
case "$1" in run | test | windows | windows-test | web | web-test) ;; *) usage ;; esac

packages=(cmake ninja-build g++ doctest-dev fonts-liberation)
case "$1" in
run | test | windows | windows-test) packages+=(qt6-base-dev) ;;
esac
case "$1" in
test)
    # The tests also play the real program on a private X server, through the
    # accessibility bus, with the Orca screen reader in Bulgarian (speaking
    # through speech-dispatcher into a file; the locale is built with
    # localedef from the locales package) and under strace, and check the
    # desktop metadata and the Debian package (lintian checks it as Debian
    # checks its own).
    packages+=(xvfb dbus-daemon dbus-bin at-spi2-core python3-pyatspi python3-xlib
        orca speech-dispatcher locales strace desktop-file-utils appstream dpkg-dev file lintian)
    ;;
windows | windows-test)
    # Qt for Windows is built from Debian's source package with MinGW-w64;
    # NSIS makes the installer. Debian's qt6-base-dev gives the host tools.
    packages+=(dpkg-dev g++-mingw-w64-x86-64-posix mingw-w64-tools nsis)
    if [ "$1" = windows-test ]; then
        # Wine on a private X server runs the tests and the installer.
        packages+=(wine64 xvfb python3-xlib icoutils unzip)
    fi
    ;;
web | web-test)
    # Debian's emscripten compiles the quiz; the page's font is cut with
    # fontTools and packed with woff2, the icons drawn with Pillow.
    packages+=(emscripten python3-fonttools woff2 python3-pil)
    if [ "$1" = web-test ]; then
        # Chromium plays the page over the DevTools protocol; npm installs
        # the accessibility checker (a Node.js that brings its own npm will do).
        packages+=(chromium python3-websocket nodejs)
        command -v npm >/dev/null || packages+=(npm)
    fi
    ;;
esac
missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$package")
done
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing missing Debian packages: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
fi

# Makes APT know the source package $1 (Qt's, for the cross builds): adds a
# deb-src entry for Debian 12's main archive when there is none, then fetches
# the source index.
ensure_deb_src() {
    [ -n "$(apt-cache showsrc "$1" 2>/dev/null)" ] && return
    if ! apt-get indextargets --format '$(IDENTIFIER)' 2>/dev/null | grep -qx Sources; then
        echo "Adding Debian 12's source packages to APT (/etc/apt/sources.list.d/zoomatch-deb-src.sources)"
        printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' \
            'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
            "${sudo[@]}" tee /etc/apt/sources.list.d/zoomatch-deb-src.sources >/dev/null
    fi
    "${sudo[@]}" apt-get update -qq
}

case "$1" in
web)
    exec packaging/web/build-web.sh
    ;;
web-test)
    # The core's tests in the WebAssembly tree under Node, then the page in
    # headless Chromium (tests/window/web/).
    packaging/web/build-web.sh --tests
    exec tests/window/web/run.sh build-web build-wasm
    ;;
esac

# Configures and builds one tree quietly; shows the log only when something fails.
build_tree() {
    local dir=$1
    shift
    mkdir -p "$dir"
    if ! { cmake -S . -B "$dir" -G Ninja "$@" && cmake --build "$dir"; } >"$dir/build.log" 2>&1; then
        cat "$dir/build.log" >&2
        echo "Build failed; the log above is also in $dir/build.log" >&2
        exit 1
    fi
}

case "$1" in
windows | windows-test)
    ensure_deb_src qt6-base
    qt=$(packaging/windows/build-qt.sh)
    # A tree configured against another Qt build starts afresh: CMake keeps
    # the toolchain a tree was first configured with.
    if [ "$(cat build-windows/tree/qt-prefix 2>/dev/null)" != "$qt" ]; then
        rm -rf build-windows/tree
        mkdir -p build-windows/tree
        echo "$qt" >build-windows/tree/qt-prefix
    fi
    # Qt's toolchain file finds the Windows Qt and hands on to ours for MinGW.
    build_tree build-windows/tree -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$PWD/packaging/windows/wine-run.sh"
    rm -f build-windows/zoomatch-*
    if ! (cd build-windows/tree && cpack -B "$PWD/../cpack" >../cpack.log 2>&1); then
        cat build-windows/cpack.log >&2
        echo "Packaging failed; the log above is also in build-windows/cpack.log" >&2
        exit 1
    fi
    mv build-windows/cpack/zoomatch-*-win64.exe build-windows/cpack/zoomatch-*-win64.zip build-windows/
    if [ "$1" = windows ]; then
        ls build-windows/zoomatch-*
        exit 0
    fi
    exec packaging/windows/test.sh "$qt" build-windows
    ;;
esac

build_tree build -DCMAKE_BUILD_TYPE=Release

if [ "$1" = test ]; then
    (cd build && ctest --output-on-failure)
    # Everything again under AddressSanitizer and UndefinedBehaviorSanitizer.
    build_tree build-sanitize -DCMAKE_BUILD_TYPE=Debug -DZOOMATCH_SANITIZE=ON
    cd build-sanitize
    exec ctest --output-on-failure
fi

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "zoomatch needs a graphical desktop: no display is set (DISPLAY or WAYLAND_DISPLAY)." >&2
    echo "Run this command from a desktop session, or under Xvfb." >&2
    exit 1
fi
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    # Qt wants a private runtime folder; a bare X server session may have none.
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
build/window/qt/zoomatch
