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

runtime=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT

/usr/libexec/at-spi-bus-launcher --launch-immediately &
pids+=($!)
exec 3<> "$runtime/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    display=$(head -n 1 "$runtime/display" 2>/dev/null || true)
    [ -n "$display" ] && break
    sleep 0.05
done
[ -n "$display" ] || { echo "FAIL: Xvfb did not start" >&2; exit 1; }

DISPLAY=":$display" XDG_RUNTIME_DIR=$runtime QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" &
pids=("$!" "${pids[@]}")
/usr/bin/python3 "$here/atspi_game.py"
