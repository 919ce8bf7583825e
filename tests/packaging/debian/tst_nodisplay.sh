#!/usr/bin/env bash
# Without a display the program says in one line what it needs and ends with
# status 1 (no abort, no core dump); a platform the user chose still starts.
#   tst_nodisplay.sh PROGRAM
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../common.sh"

status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" >"$work/out" 2>"$work/err" || status=$?
[ "$status" = 1 ] || fail "status $status without a display"
[ ! -s "$work/out" ] || fail "it wrote to stdout: $(cat "$work/out")"
expected="zoomatch: no display: the quiz needs a desktop session (X11 or Wayland), and neither DISPLAY nor WAYLAND_DISPLAY is set"
[ "$(cat "$work/err")" = "$expected" ] || fail "stderr: $(cat "$work/err")"

# Empty counts as unset; a chosen platform needs no display and keeps running.
status=0
DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM=offscreen timeout 3 "$program" >/dev/null 2>&1 || status=$?
[ "$status" = 124 ] || fail "with QT_QPA_PLATFORM=offscreen it ended with status $status"
echo "tst_nodisplay: 1 passed, 0 failed"
