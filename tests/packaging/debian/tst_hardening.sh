#!/usr/bin/env bash
# The program is hardened as Debian's own programs are: PIE, stack protector,
# read-only relocations bound at start, and checked
# libc functions wherever the compiler knows a size. The only unchecked calls
# allowed are the copies and fills of buffers whose size is known only at run
# time (the containers' own), which no checked function could guard.
#   tst_hardening.sh PROGRAM
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../common.sh"

# Its own code is built with control flow protection, but the program cannot
# be marked so: Debian 12's C library start-up files (Scrt1.o, crti.o) are not,
# and no program of the system is (ls, Xvfb). The linker could be told to mark
# it anyway; it would then claim what its start-up code does not have.
hardening-check --nofortify --nocfprotection "$1" >"$work/report" ||
    { cat "$work/report" >&2; fail "hardening-check"; }
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
