#!/usr/bin/env bash
# The Windows tests, as ./build.sh windows-test runs them after building both
# editions into OUT_DIR (build-windows):
#   1. both editions read from their files: PE header, imports, version,
#      icon, manifest, MSI tables (static_checks.py);
#   2. the win64 installer and the win64 MSI end to end, each in a fresh Wine
#      prefix on a private X server (e2e.sh under tests/wine-session.sh);
#   3. the win64 build tree's CTest (the core's tests and the window test)
#      in a Wine session of its own.
# This machine runs no 32-bit program, so the win32 edition gets the first
# part only; it is built from the same sources with the same flags.
#   tests/packaging/windows/test.sh OUT_DIR
# Ends with the line "N passed, N failed"; exits non-zero when any failed.
set -uo pipefail
out=$(cd "${1:?usage: test.sh OUT_DIR}" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
session=$here/../../wine-session.sh
# Every process of this run carries this mark in its environment, so that
# what is left can be told from other programs' Wine and X servers.
export ZOOMATCH_WINDOWS_TEST_RUN="$$.$RANDOM"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
failed_runs=0

# Runs one part, showing its PASS and FAIL lines; a part that fails without
# saying what counts as one failure of its own.
part() {
    local name=$1 status=0
    shift
    "$@" 2>&1 | tee -a "$log" | tee "$log.part" || status=$?
    if [ "$status" -ne 0 ] && ! grep -q '^FAIL:' "$log.part"; then
        echo "FAIL: $name ended with status $status" | tee -a "$log"
    fi
    rm -f "$log.part"
}

part "static checks" /usr/bin/python3 "$here/static_checks.py" "$out"
part "installer" "$session" "$here/e2e.sh" nsis "$out/zoomatch-1.0.0.0-win64-setup.exe"
part "MSI" "$session" "$here/e2e.sh" msi "$out/zoomatch-1.0.0.0-win64.msi"
ctest_part() {
    if (cd "$out/win64" && ctest --output-on-failure) >"$log.ctest" 2>&1; then
        echo "PASS: win64 CTest under Wine: $(grep -o '[0-9]*% tests passed.*' "$log.ctest")"
    else
        cat "$log.ctest"
        echo "FAIL: win64 CTest under Wine"
    fi
    rm -f "$log.ctest"
}
export -f ctest_part
export out log
part "CTest" "$session" bash -c ctest_part

# Nothing started by these tests may outlive them.
still_running() {
    local pid candidates
    # The processes of this substitution have ended by the time it returns.
    candidates=$(grep -lsaF "ZOOMATCH_WINDOWS_TEST_RUN=$ZOOMATCH_WINDOWS_TEST_RUN" /proc/[0-9]*/environ |
        cut -d/ -f3)
    for pid in $candidates; do
        [ "$pid" = $$ ] && continue
        grep -qs '^State:[[:space:]]*[^Z]' "/proc/$pid/status" && ps -o pid=,args= -p "$pid"
    done
}
for _ in $(seq 50); do
    left=$(still_running)
    [ -z "$left" ] && break
    sleep 0.1
done
if [ -n "$left" ]; then
    echo "FAIL: processes left running: $left" | tee -a "$log"
else
    echo "PASS: no process of the tests left (Wine, Xvfb)" | tee -a "$log"
fi
passed=$(grep -c '^PASS:' "$log")
failed=$(grep -c '^FAIL:' "$log")
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
