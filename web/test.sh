#!/usr/bin/env bash
# Tests the web build made by ./build.sh web: the quiz core's tests, compiled
# to WebAssembly, under Node; then the end-to-end game in headless Chromium
# against build-web/. Installs the Debian packages it needs when missing.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
if [ ! -f build-web/index.html ] || [ ! -f build-wasm/CMakeCache.txt ]; then
    echo "No web build here: run ./build.sh web first." >&2
    exit 1
fi

missing=()
for package in chromium python3-websocket python3-pil tesseract-ocr tesseract-ocr-bul; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing missing Debian packages: ${missing[*]}"
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

# The core's tests, in the web build's tree (the long soak stays native).
cache=${ZOOMATCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zoomatch}
# shellcheck source=emscripten-env.sh
. web/emscripten-env.sh
zoomatch_emscripten_env "$cache"
if ! cmake --build build-wasm >build-wasm/tests.log 2>&1; then
    cat build-wasm/tests.log >&2
    exit 1
fi
(cd build-wasm && ctest --output-on-failure -LE soak)

web/e2e.py build-web
