#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, in the prefix and on
# the display that windows/test.sh set up: the CTest emulator of the Windows
# build tree.
#   wine-run.sh PROGRAM.exe [ARGS...]
# Wine passes no QT_* variable on to a Windows program (it turns WINEQT_X
# into QT_X instead), so every QT_* setting is handed over under that name.
# The Qt libraries and the MinGW runtime are found on WINEPATH.
set -euo pipefail
: "${WINEPREFIX:?run through windows/test.sh, which makes the Wine prefix}"
: "${ZOOMATCH_QT_WINDOWS:?the Windows Qt prefix}"
while IFS='=' read -r name _; do
    case $name in QT_*) export "WINE$name=${!name}" && unset "$name" ;; esac
done < <(env)
# Qt Test writes nothing without a console unless it is told to use stderr.
export WINEQT_FORCE_STDERR_LOGGING=1
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
winpthread=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
export WINEPATH="Z:$ZOOMATCH_QT_WINDOWS/bin;Z:$runtime;Z:$winpthread"
exec /usr/lib/wine/wine64 "$@"
