#!/usr/bin/env bash
# Runs the program on a private X server and a private session bus with the
# accessibility bus on it, plays atspi_game.py against it, and tears it all
# down again, leaving no process behind.
#   tst_atspi.sh path/to/zoomatch
set -euo pipefail
program=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ -z "${ZOOMATCH_PRIVATE_BUS:-}" ]; then
    # dbus-run-session ends the bus when this script ends.
    ZOOMATCH_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@" 2> >(grep -v 'fd limit' >&2)
fi

source "$here/../../common.sh"
start_xvfb
runtime="$work/runtime"
mkdir -m 700 "$runtime"
/usr/libexec/at-spi-bus-launcher --launch-immediately &
pids+=($!)
XDG_RUNTIME_DIR=$runtime QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" &
pids=("$!" "${pids[@]}")
/usr/bin/python3 "$here/atspi_game.py"
