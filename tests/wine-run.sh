#!/usr/bin/env bash
# Runs a Windows program of a cross build under wine64: the CTest emulator of
# the Windows build trees.
#   wine-run.sh PROGRAM.exe [ARGS...]
# In the prefix $WINEPREFIX when one is set (the Windows tests make a private
# one, with a wineserver of their own); otherwise in a fresh private prefix,
# whose wineserver is ended and whose folder is removed when the program ends.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
# No menu entries or file associations written into $HOME, no Mono or Gecko.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
if [ -n "${WINEPREFIX:-}" ]; then
    exec /usr/lib/wine/wine64 "$@"
fi
WINEPREFIX=$(mktemp -d)
export WINEPREFIX
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
status=0
/usr/lib/wine/wine64 "$@" || status=$?
exit "$status"
