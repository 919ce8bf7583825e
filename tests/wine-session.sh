#!/usr/bin/env bash
# Runs a command in a Wine session of its own: a private X server, a fresh
# Wine prefix in a scratch folder and a wineserver that serves only it, all
# ended when the command ends.
#   wine-session.sh [--dpi N] [--unmanaged] CMD [ARGS...]
# --dpi sets the screen's dots per inch (Wine's LogPixels) before CMD runs.
# --unmanaged has Wine draw the windows' frames itself, caption included (the
# session has no window manager), and spares the two seconds that Wine
# otherwise waits, for a window manager that never answers, as a window closes.
# CMD sees WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES and DISPLAY; tests/wine-run.sh
# runs Windows programs in that prefix. The exit status is CMD's.
set -euo pipefail
dpi=
unmanaged=
while [ $# -gt 0 ]; do
    case $1 in
    --dpi)
        dpi=${2:-}
        [[ "$dpi" =~ ^[0-9]+$ ]] || { echo "wine-session.sh: --dpi needs a number" >&2; exit 2; }
        shift 2 ;;
    --unmanaged) unmanaged=1 && shift ;;
    *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: wine-session.sh [--dpi N] [--unmanaged] CMD [ARGS...]" >&2; exit 2; }

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
if [ -n "$unmanaged" ]; then
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        >/dev/null 2>&1 || fail "could not turn off managed windows"
fi
"$wineserver" -w

status=0
"$@" || status=$?
exit "$status"
