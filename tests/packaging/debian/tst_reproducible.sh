#!/usr/bin/env bash
# The same build gives the same package, bit for bit, whatever the umask,
# time zone, locale and time of the run; its folders are 0755 and its files
# 0644 (the program 0755), all owned by root.
#   tst_reproducible.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "${BASH_SOURCE[0]}")/../../common.sh"

pack() { # pack FOLDER UMASK TZ LC_ALL
    mkdir "$work/$1"
    (cd "$work/$1" && umask "$2" && TZ=$3 LC_ALL=$4 \
        cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/$1" >cpack.log 2>&1) ||
        { cat "$work/$1/cpack.log" >&2; fail "cpack in $1"; }
}
pack a 022 UTC C
sleep 1.1
pack b 002 Asia/Tokyo C.UTF-8
a=$(ls "$work"/a/zoomatch_*.deb) b=$(ls "$work"/b/zoomatch_*.deb)
cmp -s "$a" "$b" || fail "the two packages differ"

wrong=$(dpkg-deb -c "$a" | awk '$2 != "root/root" ||
    ($1 ~ /^d/ ? $1 != "drwxr-xr-x" : $1 != ($6 == "./usr/bin/zoomatch" ? "-rwxr-xr-x" : "-rw-r--r--"))')
[ -z "$wrong" ] || fail "modes or owners:"$'\n'"$wrong"
modes=$(dpkg-deb --ctrl-tarfile "$a" | tar -tvf - | awk '$1 != "-rw-r--r--" && $1 != "drwxr-xr-x"')
[ -z "$modes" ] || fail "control files' modes:"$'\n'"$modes"
echo "tst_reproducible: 1 passed, 0 failed"
