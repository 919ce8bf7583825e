#!/usr/bin/env bash
# One Windows package end to end, in the Wine session that tests/wine-session.sh
# gives (a private X server, a fresh prefix): a silent install for all users,
# the files, the Start-menu shortcut and the uninstall entry checked, the
# installed program played with real clicks and closed, a silent uninstall,
# and then nothing of it left: no file, no shortcut, no registry key.
#   tests/wine-session.sh tests/packaging/windows/e2e.sh nsis|msi PACKAGE
# Prints PASS or FAIL lines.
set -euo pipefail
kind=$1
package=$(realpath "$2")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../common.sh"
version=1.0.0.0
wine=/usr/lib/wine/wine64
: "${WINEPREFIX:?run this under tests/wine-session.sh}"
programs="$WINEPREFIX/drive_c/Program Files/zoomatch"
link="Microsoft/Windows/Start Menu/Programs/Биология - науки за животните.lnk"
all_users_shortcut="$WINEPREFIX/drive_c/ProgramData/$link"
user_shortcut=$(printf '%s' "$WINEPREFIX"/drive_c/users/"$(id -un)"/AppData/Roaming/"$link")
uninstall_root='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
publisher_key='HKLM\Software\zoomatch'
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
pass() { echo "PASS: $kind: $*"; }

# Waits until a path is there (present) or gone (absent), up to 60 s.
await() {
    for _ in $(seq 600); do
        case $1 in
        present) [ -e "$2" ] && return 0 ;;
        absent) [ -e "$2" ] || return 0 ;;
        esac
        sleep 0.1
    done
    return 1
}
# The values of a registry key as NAME=VALUE lines, or nothing when it is not there.
registry() {
    "$wine" reg query "$1" 2>/dev/null | tr -d '\r' |
        sed -n 's/^    \([^ ].*\)    REG_[A-Z_]*    \(.*\)$/\1=\2/p' || true
}
registry_has() { "$wine" reg query "$1" >/dev/null 2>&1; }

case $kind in
nsis)
    "$wine" "$(windows_path "$package")" /S >"$work/install.log" 2>&1 || fail "$kind: the installer failed"
    key="$uninstall_root\\zoomatch"
    shortcut=$all_users_shortcut
    uninstaller='C:\Program Files\zoomatch\Uninstall.exe'
    uninstall_string="\"$uninstaller\""
    expected_files="LICENSE.txt THIRD-PARTY.txt Uninstall.exe licenses/gcc-mingw-w64.txt licenses/mingw-w64.txt zoomatch.exe"
    ;;
msi)
    "$wine" msiexec /i "$(windows_path "$package")" /qn >"$work/install.log" 2>&1 ||
        fail "$kind: msiexec /i failed: $(cat "$work/install.log")"
    product=$(msiinfo export "$package" Property | sed -n 's/^ProductCode\t\(.*\)\r\?$/\1/p' | tr -d '\r')
    key="$uninstall_root\\$product"
    # Windows Installer puts a per-machine package's shortcuts into the Start
    # menu of all users; Wine 8's msi always uses the user's own (its
    # ProgramMenuFolder ignores ALLUSERS).
    shortcut=$user_shortcut
    uninstall_string="MsiExec.exe /X$product"
    expected_files="LICENSE.txt THIRD-PARTY.txt licenses/gcc-mingw-w64.txt licenses/mingw-w64.txt zoomatch.exe"
    ;;
*) fail "unknown kind $kind" ;;
esac
await present "$programs/zoomatch.exe" || fail "$kind: nothing was installed into Program Files"
files=$(cd "$programs" && find . -type f -printf '%P\n' | LC_ALL=C sort | tr '\n' ' ')
[ "$files" = "$expected_files " ] || fail "$kind: Program Files\\zoomatch holds: $files"
cmp -s "$programs/zoomatch.exe" "$(dirname "$package")/zoomatch-$version-win64-portable.exe" ||
    fail "$kind: the installed zoomatch.exe is not the portable one"
[ -f "$shortcut" ] || fail "$kind: no Start-menu shortcut: $(ls "$(dirname "$shortcut")")"
grep -qa 'zoomatch\.exe' "$shortcut" || fail "$kind: the shortcut does not lead to zoomatch.exe"
entry=$(registry "$key")
for value in "DisplayName=zoomatch" "DisplayVersion=$version" "Publisher=zoomatch" \
    "UninstallString=$uninstall_string"; do
    grep -qxF "$value" <<<"$entry" || fail "$kind: the uninstall entry $key has no $value: $entry"
done
grep -qi '^DisplayIcon=.*zoomatch' <<<"$entry" || fail "$kind: the uninstall entry has no DisplayIcon: $entry"
pass "silent install: the files, the shortcut and the uninstall entry (DisplayName, DisplayVersion, Publisher, DisplayIcon)"

"$wine" 'C:\Program Files\zoomatch\zoomatch.exe' >"$work/program.log" 2>&1 &
program=$!
pids+=("$program")
/usr/bin/python3 "$here/play.py" || fail "$kind: the installed program: $(cat "$work/program.log")"
wait "$program" || fail "$kind: the installed program did not end cleanly"
[ ! -s "$work/program.log" ] || fail "$kind: the program wrote: $(cat "$work/program.log")"
pass "the installed program plays a wrong and a right pair, and closes"

case $kind in
nsis)
    "$wine" "$uninstaller" /S >"$work/uninstall.log" 2>&1 || fail "$kind: the uninstaller failed"
    # The uninstaller goes on from a copy of itself, so its work is waited for.
    await absent "$programs" || fail "$kind: left in Program Files: $(find "$programs")"
    ;;
msi)
    "$wine" msiexec /x "$(windows_path "$package")" /qn >"$work/uninstall.log" 2>&1 ||
        fail "$kind: msiexec /x failed: $(cat "$work/uninstall.log")"
    ;;
esac
[ ! -e "$programs" ] || fail "$kind: left in Program Files: $(find "$programs")"
[ ! -e "$all_users_shortcut" ] && [ ! -e "$user_shortcut" ] || fail "$kind: the Start-menu shortcut is left"
registry_has "$key" && fail "$kind: the uninstall entry $key is left"
registry_has "$publisher_key" && fail "$kind: $publisher_key is left"
# The wineserver writes the registry to disk as it ends; then no key, value
# or file anywhere in the prefix may still name the program.
/usr/lib/wine/wineserver -k
/usr/lib/wine/wineserver -w
leftovers=$( (grep -il zoomatch "$WINEPREFIX"/*.reg
    find "$WINEPREFIX/drive_c" -iname '*zoomatch*' -o -iname '*Биология*') 2>/dev/null || true)
[ -z "$leftovers" ] || fail "$kind: zoomatch is still named in: $leftovers"
pass "silent uninstall: no file, shortcut or registry key left"
