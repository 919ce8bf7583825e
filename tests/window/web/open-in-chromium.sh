#!/usr/bin/env bash
# Opens the quiz at the address in URL_FILE (the tests' server fixture writes
# it) in Chromium as an app window on the X display, with its accessibility
# on for screen readers. Chromium stays in this script's process group, which
# the caller ends whole; its profile goes in $HOME, which the caller makes.
#   open-in-chromium.sh URL_FILE
set -euo pipefail
url=$(cat "$1")
# A page in Bulgarian would otherwise get Chromium's offer to translate it.
mkdir -p "$HOME/chromium/Default"
echo '{"translate": {"enabled": false}}' >"$HOME/chromium/Default/Preferences"
# Chromium's own complaints (no system bus, no GPU) go to its log, not the test's.
exec chromium --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --disable-features=Translate --lang=bg \
    --force-renderer-accessibility --user-data-dir="$HOME/chromium" --window-size=600,520 \
    --disable-breakpad --test-type --app="$url" 2>"$HOME/chromium.log"
