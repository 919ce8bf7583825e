#!/usr/bin/env bash
# A Wine session of its own: a private X server, a fresh Wine prefix and a
# wineserver that serves only it.
#   wine-session.sh [OPTIONS] start DIR   sets one up in DIR and leaves it running;
#                                         DIR/session.env holds its environment
#   wine-session.sh stop DIR              ends it, removes DIR, and fails when
#                                         anything of it is still running
#   wine-session.sh [OPTIONS] CMD [ARGS]  runs CMD in a session that ends with it
# --dpi N sets the screen's dots per inch. --unmanaged has Wine draw the window
# frames itself (there is no window manager), which also spares the two
# seconds Wine waits for one as a window closes.
# Every process of a session carries ZOOMATCH_WINE_SESSION=DIR, so that what
# is left of it can be told from anything else.
set -euo pipefail
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
fail() {
    echo "wine-session.sh: $*" >&2
    exit 1
}

dpi= unmanaged=
while [ $# -gt 0 ]; do
    case $1 in
    --dpi) [[ "${2:-}" =~ ^[0-9]+$ ]] && dpi=$2 && shift 2 || fail "--dpi needs a number" ;;
    --unmanaged) unmanaged=1 && shift ;;
    *) break ;;
    esac
done

start() {
    local dir display=
    dir=$(mkdir -p "$1" && cd "$1" && pwd)
    [ ! -e "$dir/pids" ] || stop "$dir" # what an interrupted run left
    mkdir -p "$dir/prefix"
    # No menu entries or file associations written into $HOME, no Mono or Gecko.
    export WINEDEBUG=-all
    printf '%s\n' "ZOOMATCH_WINE_SESSION=$dir" "WINEPREFIX=$dir/prefix" \
        "WINEDLLOVERRIDES=winemenubuilder.exe=d;mscoree=;mshtml=" >"$dir/session.env"
    # The X server in a session of its own, with no terminal or pipe of the
    # caller's: it outlives this script, and nobody waits for its output.
    setsid Xvfb -displayfd 3 -screen 0 2048x1536x24 -nolisten tcp -noreset \
        3>"$dir/display" </dev/null >"$dir/xvfb.log" 2>&1 &
    echo "XVFB_PID=$!" >"$dir/pids"
    for _ in $(seq 100); do
        display=$(head -n 1 "$dir/display" 2>/dev/null || true)
        [ -n "$display" ] && break
        sleep 0.05
    done
    [ -n "$display" ] || fail "Xvfb did not start: $(cat "$dir/xvfb.log")"
    echo "DISPLAY=:$display" >>"$dir/session.env"
    while IFS='=' read -r name value; do export "$name=$value"; done <"$dir/session.env"
    # A wineserver that stays until it is ended, so that each program of the
    # session finds the prefix ready; then the prefix is made.
    setup "$wineserver" -p
    setup "$wine" wineboot -i
    [ -z "$dpi" ] ||
        setup "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
    [ -z "$unmanaged" ] || setup "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
}
# A step of the set-up, in a session of its own, with its output in the log.
setup() {
    setsid "$@" </dev/null >>"$ZOOMATCH_WINE_SESSION/wine.log" 2>&1 ||
        fail "$*: $(cat "$ZOOMATCH_WINE_SESSION/wine.log")"
}

# The processes, other than this script, that carry the session's mark.
left_of() {
    local pid
    for pid in $(grep -lsaF "ZOOMATCH_WINE_SESSION=$1" /proc/[0-9]*/environ | cut -d/ -f3); do
        [ "$pid" != $$ ] && grep -qs '^State:\s*[^Z]' "/proc/$pid/status" &&
            ps -o pid=,args= -p "$pid"
    done
    return 0
}

# Ends the wineserver with every Wine process, then the X server; removes the
# folder and fails when anything of the session is left.
stop() {
    local dir left= XVFB_PID=
    dir=$(cd "$1" 2>/dev/null && pwd) || fail "no session in $1"
    if [ -d "$dir/prefix" ]; then
        WINEPREFIX=$dir/prefix "$wineserver" -k 2>/dev/null || true
        WINEPREFIX=$dir/prefix "$wineserver" -w 2>/dev/null || true
    fi
    [ ! -f "$dir/pids" ] || source "$dir/pids"
    [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
    for _ in $(seq 100); do
        left=$(left_of "$dir")
        [ -z "$left" ] && break
        sleep 0.1
    done
    rm -rf "$dir"
    [ -z "$left" ] || fail "still running after the session's end: $left"
}

case ${1:-} in
start | stop)
    [ $# -eq 2 ] || fail "usage: wine-session.sh [--dpi N] [--unmanaged] start|stop DIR"
    "$1" "$2"
    ;;
'') fail "usage: wine-session.sh [--dpi N] [--unmanaged] start|stop DIR | CMD [ARGS...]" ;;
*)
    dir=$(mktemp -d)
    trap 'stop "$dir"' EXIT
    start "$dir"
    "$@"
    ;;
esac
