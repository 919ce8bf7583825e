#!/usr/bin/env bash
# Runs the real program under strace on a private X server, plays a game of
# a few clicks, closes the window, and fails if the program opened any file
# for writing or changed anything outside /tmp, /dev and its runtime folder,
# or opened any socket but the one to the display.
#   tst_nowrites.sh path/to/zoomatch
set -euo pipefail
program=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../common.sh"
start_xvfb
runtime="$work/runtime"
mkdir -m 700 "$runtime"

# No session bus: the program must not need one, nor start one.
DBUS_SESSION_BUS_ADDRESS=disabled: XDG_RUNTIME_DIR=$runtime \
    strace -f -qq -o "$work/trace" \
    -e trace=open,openat,openat2,creat,mkdir,mkdirat,rename,renameat,renameat2,unlink,unlinkat,link,linkat,symlink,symlinkat,truncate,ftruncate,chmod,fchmodat,socket,connect,bind \
    "$program" 2>"$work/stderr" &
traced=$!
player_done=0
# Анатомия, then вътрешен строеж на организми, then Изведи, then Чисти.
/usr/bin/python3 "$here/x11_player.py" 88,62 308,102 148,276 60,276 || player_done=$?
wait "$traced" || fail "the program did not exit cleanly"
[ "$player_done" = 0 ] || fail "the player failed"
[ ! -s "$work/stderr" ] || fail "the program wrote to stderr: $(cat "$work/stderr")"

allowed="^(/tmp/|/dev/|$runtime)"
bad=$(awk -v allowed="$allowed" '
    function path(line) { if (match(line, /"[^"]*"/)) return substr(line, RSTART + 1, RLENGTH - 2); return "" }
    /(open|openat|openat2)\(/ && /O_WRONLY|O_RDWR|O_CREAT|O_TRUNC/ { if (path($0) !~ allowed) print; next }
    /(creat|mkdir|mkdirat|rename|renameat|renameat2|unlink|unlinkat|link|linkat|symlink|symlinkat|truncate|chmod|fchmodat)\(/ {
        if (path($0) !~ allowed) print; next }
    /ftruncate\(/ { print; next }
    /socket\(/ && !/socket\(AF_UNIX/ { print; next }
    /(connect|bind)\(/ && !/sun_path=@?"\/tmp\/\.X11-unix\/X[0-9]+"/ { print }
' "$work/trace")
[ -z "$bad" ] || fail "the program reached outside:"$'\n'"$bad"
grep -q 'sun_path=@\?"/tmp/.X11-unix/X' "$work/trace" || fail "the trace shows no display connection"
echo "tst_nowrites: 1 passed, 0 failed"
