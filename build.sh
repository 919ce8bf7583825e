#!/usr/bin/env bash
# Builds zoomatch on Debian 12 from a fresh clone, installing any Debian
# packages that are missing first (with sudo when not run as root).
#   ./build.sh run    build and open the quiz window
#   ./build.sh test   build and run the whole test suite, headless, then again
#                     under the address and undefined-behaviour sanitizers
#   ./build.sh windows       cross-build both Windows editions (win32, win64):
#                            for each the portable exe, an installer and an
#                            MSI in build-windows/
#   ./build.sh windows-test  the same, then the Windows tests: both editions
#                            read from their files, and the win64 edition,
#                            its installer and its MSI under Wine
#   ./build.sh web       build the quiz for web browsers (a page of HTML form
#                        controls and the quiz in WebAssembly) into the static
#                        site build-web/
#   ./build.sh web-test  the same, then the core's tests under Node, the
#                        page's tests in Chromium, Firefox and WebKit, and Orca
#                        reading it in Chromium
#   ./build.sh release   every artifact of the checked-out commit, with their
#                        SHA256SUMS, in dist/: both Windows editions, the web
#                        site, the Debian package and the source; the same
#                        commit always gives the same bytes
# Quiet when everything is already in place; safe to run again.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

usage() {
    echo "usage: $0 run|test|windows|windows-test|web|web-test|release" >&2
    exit 2
}
[ $# -eq 1 ] || usage
case "$1" in run | test | windows | windows-test | web | web-test | release) ;; *) usage ;; esac

packages=(cmake ninja-build g++ doctest-dev fonts-liberation)
case "$1" in
run | test | release) packages+=(qt6-base-dev) ;;
esac
case "$1" in
test)
    # The tests also play the real program on a private X server, through the
    # accessibility bus, with the Orca screen reader in Bulgarian (speaking
    # through speech-dispatcher into a file; the locale is built with
    # localedef from the locales package) and under strace, and check the
    # desktop metadata and the Debian package (lintian and hardening-check
    # check it as Debian checks its own; piuparts, run by its label, installs
    # it into a clean Debian 12 made by debootstrap).
    packages+=(xvfb dbus-daemon dbus-bin at-spi2-core python3-pyatspi python3-xlib
        orca speech-dispatcher locales strace desktop-file-utils appstream dpkg-dev file lintian
        devscripts piuparts debootstrap)
    ;;
windows | windows-test)
    # Both editions are cross-built with Debian's MinGW-w64 (win32 thread
    # model); NSIS makes the installers and wixl (msitools) the MSIs. No Qt.
    packages=(cmake ninja-build doctest-dev g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
        mingw-w64-tools nsis wixl msitools)
    if [ "$1" = windows-test ]; then
        # Wine on a private X server runs the win64 edition; icoutils reads
        # the icons out of the exe; Liberation Serif stands in for Times New Roman.
        packages+=(wine64 xvfb python3-xlib icoutils fonts-liberation)
    fi
    ;;
web | web-test)
    # Debian's emscripten compiles the quiz; the page's font is cut with
    # fontTools and packed with woff2, the icons drawn with Pillow.
    packages+=(emscripten python3-fonttools woff2 python3-pil)
    if [ "$1" = web-test ]; then
        # Three engines play the page: Chromium over the DevTools protocol,
        # Firefox ESR over WebDriver BiDi, WebKitGTK's MiniBrowser through
        # WebKitWebDriver on a private X server; npm installs the
        # accessibility checker (a Node.js that brings its own npm will do).
        packages+=(chromium firefox-esr webkit2gtk-driver python3-websocket nodejs)
        command -v npm >/dev/null || packages+=(npm)
        # Then Orca reads the page in Chromium, as in the desktop's tests.
        packages+=(xvfb dbus-daemon dbus-bin at-spi2-core python3-xlib orca speech-dispatcher locales)
    fi
    ;;
release)
    # All of the builds above (the Debian package's dependencies found with
    # dpkg-shlibdeps); faketime dates the MSIs; diffoscope shows where two
    # builds differ when the reproducibility check fails.
    packages+=(g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 mingw-w64-tools nsis wixl msitools
        emscripten python3-fonttools woff2 python3-pil dpkg-dev file git faketime diffoscope)
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

# Configures and builds one preset of CMakePresets.json quietly; shows the
# log only when something fails.
#   build_preset PRESET [TARGET]
build_preset() {
    local preset=$1 log
    log=$(mktemp)
    if ! { cmake --preset "$preset" && cmake --build --preset "$preset" ${2:+--target "$2"}; } \
        >"$log" 2>&1; then
        cat "$log" >&2
        echo "Building the preset $preset failed (the log is above)" >&2
        rm -f "$log"
        exit 1
    fi
    rm -f "$log"
}

case "$1" in
windows | windows-test)
    # Two trees from the same sources and flags, one for each edition; each
    # packs its edition, and the packages are gathered in build-windows/.
    rm -f build-windows/zoomatch-*
    for edition in win32 win64; do
        build_preset $edition
        build_preset $edition windows-packages
        cp "build-windows/$edition"/packages/zoomatch-* build-windows/
    done
    if [ "$1" = windows ]; then
        ls build-windows/zoomatch-*
        exit 0
    fi
    # Every Windows test under CTest: the win32 edition's files, then the
    # win64 edition's files, the core and the window under Wine, and its
    # installer and MSI end to end.
    ctest --preset win32
    exec ctest --preset win64
    ;;
web)
    exec packaging/web/build-web.sh
    ;;
release)
    exec packaging/release.sh
    ;;
web-test)
    # The core's tests under Node, the page in Chromium, Firefox and WebKit,
    # and with the real Orca screen reader in Bulgarian in Chromium.
    packaging/web/build-web.sh --tests
    exec ctest --preset wasm
    ;;
esac

build_preset linux

if [ "$1" = test ]; then
    ctest --preset linux
    # Everything again under AddressSanitizer and UndefinedBehaviorSanitizer.
    build_preset sanitize
    exec ctest --preset sanitize
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
