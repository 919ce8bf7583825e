#!/usr/bin/env bash
# Runs a Windows program of a cross build under wine64: the CTest emulator of
# the Windows build trees.
#   wine-run.sh PROGRAM.exe [ARGS...]
# In the Wine session (tests/wine-session.sh) whose folder ZOOMATCH_WINE_SESSION
# names, else in the build tree's wine-session/default that the tests set up,
# else in a session of its own that ends with the program.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
session=${ZOOMATCH_WINE_SESSION:-}
if [ -z "$session" ]; then
    tree=$(cd "$(dirname "$1")" && pwd)
    while [ "$tree" != / ] && [ ! -f "$tree/CMakeCache.txt" ]; do tree=$(dirname "$tree"); done
    session=$tree/wine-session/default
    [ -f "$session/session.env" ] || exec "$(dirname "$0")/wine-session.sh" "$0" "$@"
fi
[ -f "$session/session.env" ] || { echo "wine-run.sh: no Wine session in $session" >&2; exit 1; }
while IFS='=' read -r name value; do export "$name=$value"; done <"$session/session.env"
exec /usr/lib/wine/wine64 "$@"
