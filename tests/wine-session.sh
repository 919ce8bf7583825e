#!/usr/bin/env bash
# A Wine session of its own: a private X server, a fresh Wine prefix and a
# wineserver that serves only it.
#   wine-session.sh start DIR [--dpi N] [--unmanaged]
#       sets one up in the empty or missing folder DIR and leaves it running;
#       its settings are in DIR/session.env, which tests/wine-run.sh reads
#   wine-session.sh stop DIR
#       ends it, removes DIR and fails when anything it started is still there
#   wine-session.sh [--dpi N] [--unmanaged] CMD [ARGS...]
#       runs CMD in a session that ends with it; the exit status is CMD's
# --dpi sets the screen's dots per inch (Wine's LogPixels). --unmanaged has
# Wine draw the windows' frames itself, caption included (the session has no
# window manager), and spares the two seconds that Wine otherwise waits, for a
# window manager that never answers, as a window closes.
# Every process of a session carries ZOOMATCH_WINE_SESSION=DIR in its
# environment, so that what is left of it can be told from anything else.
set -euo pipefail
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

fail() {
    echo "wine-session.sh: $*" >&2
    exit 1
}

# Sets up the session in $1 with the options that follow.
start() {
    local dir=$1 dpi= unmanaged=
    shift
    while [ $# -gt 0 ]; do
        case $1 in
        --dpi)
            dpi=${2:-}
            [[ "$dpi" =~ ^[0-9]+$ ]] || fail "--dpi needs a number"
            shift 2 ;;
        --unmanaged) unmanaged=1 && shift ;;
        *) fail "unknown option $1" ;;
        esac
    done
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    # What an interrupted run left there is ended first.
    [ ! -e "$dir/pids" ] || stop "$dir"
    mkdir -p "$dir"
    export ZOOMATCH_WINE_SESSION=$dir
    export WINEDEBUG=-all
    # No menu entries or file associations written into $HOME, no Mono or Gecko.
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
    export WINEPREFIX=$dir/prefix
    # The X server in a session of its own, with no terminal and no pipe of
    # the caller's: it outlives this script, and nobody waits for its output.
    setsid Xvfb -displayfd 3 -screen 0 2048x1536x24 -nolisten tcp -noreset \
        3>"$dir/display" </dev/null >"$dir/xvfb.log" 2>&1 &
    echo "XVFB_PID=$!" >"$dir/pids"
    local display=
    for _ in $(seq 100); do
        display=$(head -n 1 "$dir/display" 2>/dev/null || true)
        [ -n "$display" ] && break
        sleep 0.05
    done
    [ -n "$display" ] || fail "Xvfb did not start: $(cat "$dir/xvfb.log")"
    export DISPLAY=:$display
    # A wineserver that stays until it is ended, so each program of the
    # session finds the prefix ready; then the prefix is made.
    mkdir -p "$WINEPREFIX"
    setsid "$wineserver" -p </dev/null >>"$dir/wine.log" 2>&1 || fail "wineserver: $(cat "$dir/wine.log")"
    setsid "$wine" wineboot -i </dev/null >>"$dir/wine.log" 2>&1 || fail "wineboot: $(cat "$dir/wine.log")"
    if [ -n "$dpi" ]; then
        "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
            </dev/null >>"$dir/wine.log" 2>&1 || fail "could not set LogPixels"
    fi
    if [ -n "$unmanaged" ]; then
        "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
            </dev/null >>"$dir/wine.log" 2>&1 || fail "could not turn off managed windows"
    fi
    cat >"$dir/session.env" <<EOF
ZOOMATCH_WINE_SESSION=$dir
DISPLAY=$DISPLAY
WINEPREFIX=$WINEPREFIX
EOF
}

# The processes, other than this script, that carry the session's mark.
left_of() {
    local pid
    for pid in $(grep -lsaF "ZOOMATCH_WINE_SESSION=$1" /proc/[0-9]*/environ | cut -d/ -f3); do
        [ "$pid" = $$ ] && continue
        grep -qs '^State:[[:space:]]*[^Z]' "/proc/$pid/status" && ps -o pid=,args= -p "$pid"
    done
    return 0
}

# Ends the session in $1: the wineserver with every Wine process, the X
# server, the folder; then checks that nothing of it is left.
stop() {
    local dir left=
    dir=$(cd "$1" 2>/dev/null && pwd) || fail "no session in $1"
    if [ -f "$dir/prefix/system.reg" ] || [ -d "$dir/prefix" ]; then
        WINEPREFIX=$dir/prefix "$wineserver" -k 2>/dev/null || true
        WINEPREFIX=$dir/prefix "$wineserver" -w 2>/dev/null || true
    fi
    if [ -f "$dir/pids" ]; then
        local XVFB_PID=
        source "$dir/pids"
        [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
    fi
    for _ in $(seq 100); do
        left=$(left_of "$dir")
        [ -z "$left" ] && break
        sleep 0.1
    done
    rm -rf "$dir"
    [ -z "$left" ] || fail "still running after the session's end: $left"
}

case ${1:-} in
start)
    [ $# -ge 2 ] || fail "usage: wine-session.sh start DIR [--dpi N] [--unmanaged]"
    dir=$2
    shift 2
    start "$dir" "$@"
    ;;
stop)
    [ $# -eq 2 ] || fail "usage: wine-session.sh stop DIR"
    stop "$2"
    ;;
*)
    options=()
    while [ $# -gt 0 ]; do
        case $1 in
        --dpi) options+=("$1" "${2:-}") && shift 2 ;;
        --unmanaged) options+=("$1") && shift ;;
        *) break ;;
        esac
    done
    [ $# -gt 0 ] || fail "usage: wine-session.sh [--dpi N] [--unmanaged] CMD [ARGS...]"
    dir=$(mktemp -d)
    trap 'stop "$dir"' EXIT
    start "$dir" "${options[@]}"
    status=0
    "$@" || status=$?
    exit "$status"
    ;;
esac
