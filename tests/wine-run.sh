#!/usr/bin/env bash
# Runs a Windows program of a cross build under wine64: the CTest emulator of
# the Windows build trees.
#   wine-run.sh PROGRAM.exe [ARGS...]
# In the Wine session (tests/wine-session.sh start) whose folder
# ZOOMATCH_WINE_SESSION names, else in the one the build tree's tests set up
# (wine-session/default in the build tree that holds PROGRAM); when there is
# none, in a fresh private prefix whose wineserver is ended and whose folder
# is removed when the program ends.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
# No menu entries or file associations written into $HOME, no Mono or Gecko.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
session=${ZOOMATCH_WINE_SESSION:-}
if [ -z "$session" ]; then
    tree=$(cd "$(dirname "$1")" && pwd)
    while [ "$tree" != / ] && [ ! -f "$tree/CMakeCache.txt" ]; do
        tree=$(dirname "$tree")
    done
    [ ! -f "$tree/wine-session/default/session.env" ] || session=$tree/wine-session/default
fi
if [ -n "$session" ]; then
    [ -f "$session/session.env" ] || { echo "wine-run.sh: no Wine session in $session" >&2; exit 1; }
    while IFS='=' read -r name value; do
        export "$name=$value"
    done <"$session/session.env"
    exec /usr/lib/wine/wine64 "$@"
fi
WINEPREFIX=$(mktemp -d)
export WINEPREFIX
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
status=0
/usr/lib/wine/wine64 "$@" || status=$?
exit "$status"
