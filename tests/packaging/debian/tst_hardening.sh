#!/usr/bin/env bash
# The program is hardened as Debian's own programs are: PIE, stack protector,
# read-only relocations bound at start, control flow protection, and checked
# libc functions wherever the compiler knows a size. The only unchecked calls
# allowed are the copies and fills of buffers whose size is known only at run
# time (the containers' own), which no checked function could guard.
#   tst_hardening.sh PROGRAM
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../common.sh"

hardening-check --nofortify "$1" >"$work/report" || { cat "$work/report" >&2; fail "hardening-check"; }
hardening-check --verbose "$1" >"$work/report" || true
fortify=$(grep '^ Fortify Source functions:' "$work/report")
case $fortify in
*": yes"*) ;;
*"only unprotected functions found"*)
    unprotected=$(sed -n 's/^\tunprotected: //p' "$work/report" | LC_ALL=C sort | tr '\n' ' ')
    [[ $unprotected =~ ^((memcpy|memmove|memset)\ )*$ ]] || fail "unchecked calls: $unprotected" ;;
*) fail "$fortify" ;;
esac
echo "tst_hardening: 1 passed, 0 failed"
