#!/usr/bin/env bash
# The web page's benchmark (figures, not a test): the files' sizes, and in
# each engine first-visit bytes and time to playable against a script-free
# floor; Lighthouse desktop and mobile.
#   bench/web/run.sh SITE_DIR [LOADS] [LIGHTHOUSE_RUNS] [ENGINES]
# Lighthouse comes from `npm ci` in this folder, which the script runs when
# it is missing.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ $# -ge 1 ] && [ -f "$1/index.html" ] || { echo "usage: $0 SITE_DIR [LOADS] [LIGHTHOUSE_RUNS] [ENGINES]" >&2; exit 2; }
if [ ! -f "$here/node_modules/lighthouse/cli/index.js" ]; then
    (cd "$here" && npm ci --no-audit --no-fund --silent)
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
TMPDIR=$scratch /usr/bin/python3 "$here/bench.py" "$@"
if pgrep -f "$scratch" >/dev/null; then
    echo "processes left behind:" >&2
    pgrep -af "$scratch" >&2
    exit 1
fi
