#!/usr/bin/env bash
# Runs a command in a Wine session of its own: a private X server, a fresh
# Wine prefix in a scratch folder and a wineserver that serves only it, all
# ended when the command ends.
#   wine-session.sh [--dpi N] CMD [ARGS...]
# --dpi sets the screen's dots per inch (Wine's LogPixels) before CMD runs.
# CMD sees WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES and DISPLAY; tests/wine-run.sh
# runs Windows programs in that prefix. The exit status is CMD's.
set -euo pipefail
dpi=
if [ "${1:-}" = "--dpi" ]; then
    dpi=${2:?"--dpi needs a number"}
    [[ "$dpi" =~ ^[0-9]+$ ]] || { echo "wine-session.sh: --dpi $dpi is not a number" >&2; exit 2; }
    shift 2
fi
[ $# -gt 0 ] || { echo "usage: wine-session.sh [--dpi N] CMD [ARGS...]" >&2; exit 2; }

source "$(dirname "$0")/common.sh"

export WINEDEBUG=-all
# No menu entries or file associations written into $HOME, no Mono or Gecko.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
export WINEPREFIX="$work/prefix"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
# The wineserver lingers a moment after its last client and is ended here,
# before the scratch folder goes; it never outlives the session.
end_wineserver() {
    "$wineserver" -k 2>/dev/null || true
    cleanup
}
trap end_wineserver EXIT

start_xvfb 2048x1536x24
# A fresh prefix; waiting for its own wineserver is waiting for wineboot.
"$wine" wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot: $(cat "$work/wineboot.log")"
if [ -n "$dpi" ]; then
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null 2>&1 || fail "could not set LogPixels"
fi
"$wineserver" -w

status=0
"$@" || status=$?
exit "$status"
