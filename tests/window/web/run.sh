#!/usr/bin/env bash
# The web page's tests: the core's test suite in the emscripten build tree
# under Node (when a tree is given), then the page itself in headless
# Chromium (tst_page.py). Ends with one line, "N passed, N failed".
#   tests/window/web/run.sh SITE_DIR [EMSCRIPTEN_TREE]
# SITE_DIR is what ./build.sh web makes (build-web); axe-core comes from
# `npm ci` in this folder, which the script runs when it is missing.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
[ $# -ge 1 ] && [ -f "$1/index.html" ] || { echo "usage: $0 SITE_DIR [EMSCRIPTEN_TREE]" >&2; exit 2; }
site=$(cd "$1" && pwd)
# shellcheck source=../../common.sh
. "$root/tests/common.sh"
passed=0 failed=0

if [ $# -ge 2 ]; then
    # CTest's own summary: "100% tests passed, 0 tests failed out of 3".
    ctest --test-dir "$2" --output-on-failure -LE soak 2>&1 | tee "$work/ctest.log"
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$work/ctest.log")
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    if [ -n "$total" ]; then
        passed=$((passed + total - bad)) failed=$((failed + bad))
    else
        echo "FAIL: no CTest summary from $2" >&2
        failed=$((failed + 1))
    fi
fi

# The window definition as the tests read it, from a host build of the same sources.
g++ -std=c++20 -O1 -I"$root/quiz" -I"$root/window" "$here/form_json.cpp" \
    "$root/window/FormDefinition.cpp" "$root/quiz/QuizTable.cpp" -o "$work/form_json" &&
    "$work/form_json" >"$work/form.json" || fail "the window definition did not build"
if [ ! -f "$here/node_modules/axe-core/axe.min.js" ]; then
    (cd "$here" && npm ci --no-audit --no-fund --silent) || fail "npm ci of axe-core failed"
fi

# Chromium's profile and the server's log go under the scratch folder, so
# that anything still running from it afterwards can be found.
TMPDIR=$work /usr/bin/python3 "$here/tst_page.py" "$site" "$work/form.json" \
    "$here/node_modules/axe-core/axe.min.js" | tee "$work/browser.log"
counts=$(grep -E '^browser: [0-9]+ passed, [0-9]+ failed' "$work/browser.log")
if [ -n "$counts" ]; then
    read -r p f <<<"$(sed -E 's/^browser: ([0-9]+) passed, ([0-9]+) failed.*/\1 \2/' <<<"$counts")"
    passed=$((passed + p)) failed=$((failed + f))
else
    echo "FAIL: the browser tests ended early" >&2
    failed=$((failed + 1))
fi
if pgrep -f "$work" >/dev/null; then
    echo "FAIL: processes left behind:" >&2
    pgrep -af "$work" >&2
    failed=$((failed + 1))
else
    passed=$((passed + 1))
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
