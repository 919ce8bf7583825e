#!/usr/bin/env bash
# Serves the site on a free port of 127.0.0.1 and opens it in Chromium as an
# app window on the X display, with its accessibility on for screen readers.
# Both stay in this script's process group, which the caller ends whole;
# Chromium's profile goes in $HOME, which the caller makes for it.
#   open-in-chromium.sh SITE_DIR
set -euo pipefail
site=$1
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server -b 127.0.0.1 -d "$site" "$port" >/dev/null 2>&1 &
for _ in $(seq 100); do
    /usr/bin/python3 -c "import socket; socket.create_connection(('127.0.0.1', $port))" 2>/dev/null && break
    sleep 0.05
done
# A page in Bulgarian would otherwise get Chromium's offer to translate it.
mkdir -p "$HOME/chromium/Default"
echo '{"translate": {"enabled": false}}' >"$HOME/chromium/Default/Preferences"
# Chromium's own complaints (no system bus, no GPU) go to its log, not the test's.
exec chromium --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --disable-features=Translate --lang=bg \
    --force-renderer-accessibility --user-data-dir="$HOME/chromium" --window-size=600,520 \
    --disable-breakpad --test-type --app="http://127.0.0.1:$port/" 2>"$HOME/chromium.log"
