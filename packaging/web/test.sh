#!/usr/bin/env bash
# Tests the web build made by ./build.sh web: the quiz core's tests, compiled
# to WebAssembly, under Node; then the end-to-end game in headless Chromium
# against build-web/. ./build.sh web-test installs what it needs, builds, and
# runs it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
if [ ! -f build-web/index.html ] || [ ! -f build-wasm/CMakeCache.txt ]; then
    echo "No web build here: run ./build.sh web first." >&2
    exit 1
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
