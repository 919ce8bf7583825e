# Sourced by the test scripts: a scratch folder and background processes that
# go away when the script ends (an entry of pids that starts with "-" is a
# process group, ended whole), a private X server, and failing with a message.
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

# Waits until a file has something in it, else fails:
#   wait_for FILE SECONDS MESSAGE
wait_for() {
    for _ in $(seq $(($2 * 20))); do
        [ -s "$1" ] && return
        sleep 0.05
    done
    fail "$3"
}

# Starts Xvfb on a free display and exports DISPLAY.
#   start_xvfb [WIDTHxHEIGHTxDEPTH]   (800x600x24 unless given)
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 "${1:-800x600x24}" -nolisten tcp -noreset >/dev/null 2>&1 3>"$work/display" &
    pids+=($!)
    wait_for "$work/display" 5 "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$work/display")"
}
