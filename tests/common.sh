# Sourced by the test scripts: a scratch folder and background processes that
# go away when the script ends, a private X server, and failing with a message.
# An entry of pids that starts with "-" is a process group, ended whole.
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -- "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts Xvfb on a free display and exports DISPLAY.
#   start_xvfb [WIDTHxHEIGHTxDEPTH]   (800x600x24 unless given)
start_xvfb() {
    exec 3<>"$work/display"
    Xvfb -displayfd 3 -screen 0 "${1:-800x600x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
    pids+=($!)
    local display=
    for _ in $(seq 100); do
        display=$(head -n 1 "$work/display" 2>/dev/null || true)
        [ -n "$display" ] && break
        sleep 0.05
    done
    [ -n "$display" ] || fail "Xvfb did not start"
    export DISPLAY=":$display"
}
