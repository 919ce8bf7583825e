#!/usr/bin/env bash
# Tests the Windows build, on this Debian machine: the packages' contents and
# the program's resources read from the files themselves, then, under Wine on
# a private X server, the installer end to end (silent install into a fresh
# prefix, a game played with real clicks, silent uninstall, nothing left), the
# portable folder, and every Qt Test program of the build tree through CTest.
#   windows/test.sh QT_PREFIX OUT_DIR     (as ./build.sh windows-test calls it)
set -euo pipefail
qt=$1
out=$(cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../tests/common.sh"
version=$(sed -n 's/^project(zoomatch VERSION \([0-9.]*\).*/\1/p' "$here/../CMakeLists.txt")
installer=$out/zoomatch-$version-win64.exe
zip=$out/zoomatch-$version-win64.zip
[ -f "$installer" ] && [ -f "$zip" ] || fail "no packages zoomatch-$version-win64.exe and .zip in $out"
passed=0
pass() {
    echo "PASS: $*"
    passed=$((passed + 1))
}

# --- The portable folder: exactly the program, what it loads, and the licences.
(cd "$work" && unzip -q "$zip") || fail "unzip $zip"
folder=$work/zoomatch-$version-win64
expected="LICENSE.txt
Qt6Core.dll
Qt6Gui.dll
Qt6Widgets.dll
libgcc_s_seh-1.dll
libstdc++-6.dll
libwinpthread-1.dll
licenses/Qt/GPL-3.0-only.txt
licenses/Qt/LGPL-3.0-only.txt
licenses/Qt/copyright.txt
licenses/THIRD-PARTY.txt
licenses/gcc-runtime/copyright.txt
licenses/winpthreads/copyright.txt
platforms/qwindows.dll
zoomatch.exe"
files=$(cd "$folder" && find . -type f -printf '%P\n' | LC_ALL=C sort)
[ "$files" = "$expected" ] || fail "the ZIP holds:"$'\n'"$files"
# Every library shipped is one that the program or its platform plugin loads,
# directly or through another shipped library, and each one they load that is
# not part of Windows is shipped.
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'; }
needed=() queue=(zoomatch.exe platforms/qwindows.dll)
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]} queue=("${queue[@]:1}")
    for dll in $(imports "$folder/$file"); do
        [ -f "$folder/$dll" ] || continue
        [[ " ${needed[*]} " == *" $dll "* ]] || { needed+=("$dll") && queue+=("$dll"); }
    done
done
shipped=$(cd "$folder" && ls ./*.dll | sed 's|^\./||' | LC_ALL=C sort)
[ "$(printf '%s\n' "${needed[@]}" | LC_ALL=C sort)" = "$shipped" ] ||
    fail "shipped libraries: $shipped; loaded: ${needed[*]}"
for file in zoomatch.exe $shipped platforms/qwindows.dll; do
    for dll in $(imports "$folder/$file"); do
        case ${dll,,} in
        qt6* | lib*) [ -f "$folder/$dll" ] || fail "$file needs $dll, which is not shipped" ;;
        esac
    done
done
pass "the portable folder holds the program, what it loads and the licences, and nothing else"

# --- The program's resources, read from the executable.
exe=$folder/zoomatch.exe
wrestool -x --raw --type=16 "$exe" >"$work/version.res" || fail "no version resource"
python3 - "$work/version.res" "$version" <<'PY' || fail "the version resource"
import struct, sys
data, version = open(sys.argv[1], "rb").read(), sys.argv[2]
fixed = data.index(struct.pack("<I", 0xFEEF04BD))
fms, fls, pms, pls = struct.unpack_from("<4I", data, fixed + 8)
want = [int(part) for part in version.split(".")]
for name, ms, ls in (("FILEVERSION", fms, fls), ("PRODUCTVERSION", pms, pls)):
    got = [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF]
    if got != want:
        sys.exit(f"{name} is {got}, not {want}")
text = data.decode("utf-16-le", errors="replace")
for key, value in (("FileVersion", version), ("ProductVersion", version),
                   ("ProductName", "zoomatch"), ("OriginalFilename", "zoomatch.exe")):
    if f"{key}\0{value}\0" not in text.replace("\0\0", "\0"):
        sys.exit(f"the string table has no {key} {value}")
PY
wrestool -x --type=14 "$exe" >"$work/icon.ico" || fail "no group icon"
icons=$(icotool -l "$work/icon.ico")
grep -q -- '--width=32 --height=32 --bit-depth=8 --palette-size=256' <<<"$icons" ||
    fail "the group icon holds: $icons"
pass "zoomatch.exe carries version $version (fixed and string table) and the 32x32 256-colour icon"

# --- Under Wine: a private X server and a fresh Wine prefix of our own.
start_xvfb 1280x1024x24
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko: Wine would offer to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver -f -p >"$work/wineserver.log" 2>&1 &
pids+=($!)
stop_wine() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    cleanup
}
trap stop_wine EXIT
wine=/usr/lib/wine/wine64
"$wine" wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot: $(cat "$work/wineboot.log")"

# Waits until a Windows path is gone (or there, with "present"), up to 60 s.
await() {
    for _ in $(seq 600); do
        if [ "${2:-}" = present ]; then [ -e "$1" ] && return 0; else [ ! -e "$1" ] && return 0; fi
        sleep 0.1
    done
    return 1
}
registry_has() { "$wine" reg query "$1" >/dev/null 2>&1; }
programs="$WINEPREFIX/drive_c/Program Files/zoomatch"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/zoomatch"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\zoomatch'

"$wine" "$installer" /S >"$work/install.log" 2>&1 || fail "the installer failed"
await "$programs/Uninstall.exe" present || fail "nothing was installed into $programs"
for file in zoomatch.exe Qt6Core.dll platforms/qwindows.dll LICENSE.txt licenses/THIRD-PARTY.txt; do
    [ -f "$programs/$file" ] || fail "the installer put no $file into Program Files"
done
[ -f "$menu/Биология - науки за животните.lnk" ] || fail "no Start-menu shortcut: $(ls -R "$menu" 2>&1)"
"$wine" reg query "$uninstall_key" >"$work/uninstall-key.txt" 2>&1 || fail "no uninstall entry"
for value in "DisplayName.*zoomatch" "DisplayVersion.*$version" "Publisher.*zoomatch" \
    'DisplayIcon.*zoomatch\\zoomatch.exe' 'UninstallString.*Uninstall.exe'; do
    grep -qa "$value" <(iconv -f utf-8 -t utf-8 -c "$work/uninstall-key.txt") ||
        fail "the uninstall entry has no $value: $(cat "$work/uninstall-key.txt")"
done
pass "the installer installs silently into Program Files, with a Start-menu shortcut and an uninstall entry"

# The installed program, played with real clicks.
"$wine" "C:\\Program Files\\zoomatch\\zoomatch.exe" >"$work/installed.log" 2>&1 &
program=$!
pids+=($program)
/usr/bin/python3 "$here/wine_player.py" || fail "the installed program: $(cat "$work/installed.log")"
wait "$program" || fail "the installed program did not exit cleanly"
pass "the installed program plays a wrong and a right pair and closes"

"$wine" "C:\\Program Files\\zoomatch\\Uninstall.exe" /S >"$work/uninstall.log" 2>&1 ||
    fail "the uninstaller failed"
# The uninstaller runs on from a copy of itself, so wait for its work.
await "$programs" || fail "left behind: $(find "$programs")"
await "$menu" || fail "left in the Start menu: $(find "$menu")"
registry_has "$uninstall_key" && fail "the uninstall entry is left"
registry_has 'HKLM\Software\zoomatch' && fail "HKLM\\Software\\zoomatch is left"
pass "the uninstaller removes every file, the shortcut and the registry keys"

# The portable folder runs where it lies, with nothing installed.
"$wine" "$(printf 'Z:%s\\zoomatch.exe' "${folder//\//\\}")" >"$work/portable.log" 2>&1 &
program=$!
pids+=($program)
/usr/bin/python3 "$here/wine_player.py" || fail "the portable program: $(cat "$work/portable.log")"
wait "$program" || fail "the portable program did not exit cleanly"
pass "the portable program plays a wrong and a right pair and closes"

# Every Qt Test program of the build tree, on the offscreen and the windows platform.
export ZOOMATCH_QT_WINDOWS=$qt
# The offscreen platform on Windows reads its fonts from this folder only.
export QT_QPA_FONTDIR="Z:/usr/share/fonts/truetype/liberation"
(cd "$out/tree" && ctest --output-on-failure) || fail "ctest in the Windows build"
pass "every Qt Test program passes under Wine"
echo "windows/test.sh: $passed passed, 0 failed"
