#!/usr/bin/env bash
# One Windows package end to end, in a Wine session of its own:
#   tests/wine-session.sh tests/packaging/windows/e2e.sh nsis|msi PACKAGE
# A silent install for all users, its files, Start-menu shortcut and uninstall
# entry checked; the installed program started, played and closed; a silent
# uninstall, after which no file or registry key of the prefix names it.
set -euo pipefail
kind=$1
package=$(realpath "$2")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../common.sh"
: "${WINEPREFIX:?run this under tests/wine-session.sh}"
wine=/usr/lib/wine/wine64
programs="$WINEPREFIX/drive_c/Program Files/zoomatch"
link="Microsoft/Windows/Start Menu/Programs/Биология - науки за животните.lnk"
files="LICENSE.txt THIRD-PARTY.txt licenses/gcc-mingw-w64.txt licenses/mingw-w64.txt zoomatch.exe"
pass() { echo "PASS: $kind: $*"; }

case $kind in
nsis)
    "$wine" "Z:${package//\//\\}" /S >"$work/install.log" 2>&1 || fail "$kind: the installer failed"
    key=zoomatch
    shortcut=$WINEPREFIX/drive_c/ProgramData/$link
    uninstall_string='"C:\Program Files\zoomatch\Uninstall.exe"'
    files="${files/THIRD-PARTY.txt/THIRD-PARTY.txt Uninstall.exe}"
    ;;
msi)
    "$wine" msiexec /i "Z:${package//\//\\}" /qn >"$work/install.log" 2>&1 ||
        fail "$kind: msiexec /i failed: $(cat "$work/install.log")"
    key=$(msiinfo export "$package" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
    # Windows Installer puts a per-machine package's shortcuts into the Start
    # menu of all users; Wine 8's msi into the user's own (its ProgramMenuFolder
    # ignores ALLUSERS).
    shortcut=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/$link
    uninstall_string="MsiExec.exe /X$key"
    ;;
*) fail "unknown kind $kind" ;;
esac
installed=$(cd "$programs" && find . -type f -printf '%P\n' | LC_ALL=C sort | xargs) || true
[ "$installed" = "$files" ] || fail "$kind: Program Files\\zoomatch holds: $installed"
cmp -s "$programs/zoomatch.exe" "${package%/*}/zoomatch-1.0.0.0-win64-portable.exe" ||
    fail "$kind: the installed zoomatch.exe is not the portable one"
grep -qa 'zoomatch\.exe' "$shortcut" || fail "$kind: no Start-menu shortcut to zoomatch.exe"
entry=$("$wine" reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$key" |
    tr -d '\r' | sed -n 's/^    \([^ ].*\)    REG_[A-Z_]*    \(.*\)$/\1=\2/p') || true
for value in DisplayName=zoomatch DisplayVersion=1.0.0.0 Publisher=zoomatch \
    "UninstallString=$uninstall_string"; do
    grep -qxF "$value" <<<"$entry" || fail "$kind: the uninstall entry has no $value: $entry"
done
grep -qi '^DisplayIcon=.*zoomatch' <<<"$entry" || fail "$kind: the uninstall entry has no DisplayIcon"
pass "silent install: the files, the shortcut and the uninstall entry"

"$wine" 'C:\Program Files\zoomatch\zoomatch.exe' >"$work/program.log" 2>&1 &
pids+=($!)
/usr/bin/python3 "$here/play.py" || fail "$kind: the installed program: $(cat "$work/program.log")"
wait "${pids[-1]}" || fail "$kind: the installed program did not end cleanly"
[ ! -s "$work/program.log" ] || fail "$kind: the program wrote: $(cat "$work/program.log")"
pass "the installed program shows its window, plays a pair and closes"

if [ "$kind" = nsis ]; then
    "$wine" "C:\\Program Files\\zoomatch\\Uninstall.exe" /S >"$work/uninstall.log" 2>&1 ||
        fail "$kind: the uninstaller failed"
    # The uninstaller goes on from a copy of itself, so its work is waited for.
    for _ in $(seq 600); do [ -e "$programs" ] || break; sleep 0.1; done
else
    "$wine" msiexec /x "Z:${package//\//\\}" /qn >"$work/uninstall.log" 2>&1 ||
        fail "$kind: msiexec /x failed: $(cat "$work/uninstall.log")"
fi
# The wineserver writes the registry to disk as it ends; then no file, key or
# value of the prefix may name the program (its folder, shortcut, uninstall
# entry, HKLM\Software\zoomatch).
/usr/lib/wine/wineserver -k
/usr/lib/wine/wineserver -w
leftovers=$( (grep -il zoomatch "$WINEPREFIX"/*.reg
    find "$WINEPREFIX/drive_c" -iname '*zoomatch*' -o -iname '*Биология*') 2>/dev/null || true)
[ -z "$leftovers" ] || fail "$kind: zoomatch is still named in: $leftovers"
pass "silent uninstall: no file, shortcut or registry key left"
