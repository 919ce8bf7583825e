#!/usr/bin/env bash
# DLLs from System32 only, in a Wine session of its own:
#   tests/wine-session.sh tests/packaging/windows/dll_search.sh PORTABLE.exe
# The portable exe is run from a folder that also holds DLLs named as the ones
# it loads itself at the first verdict (oleaut32, oleacc, uiautomationcore), as
# a Downloads folder may. A pair is played and the window closed. The loader's
# log (WINEDEBUG=+loaddll,+module) must show each of them loaded from System32,
# nothing from that folder but the exe, and, from the program's first load of
# COM on, every DLL and every import of one looked for in System32 alone.
# (Wine's own DLLs load some DLLs of theirs by name past the program's choice
# of folders, which Windows does not; those names are not planted here.)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../common.sh"
: "${WINEPREFIX:?run this under tests/wine-session.sh}"
names="oleaut32.dll oleacc.dll uiautomationcore.dll"
folder=$work/Downloads
mkdir -p "$folder"
cp "$1" "$folder/zoomatch.exe"
# Any DLL will do as the planted one: a copy of another, renamed.
for name in $names; do cp "$WINEPREFIX/drive_c/windows/system32/version.dll" "$folder/$name"; done

WINEDEBUG=+loaddll,+module /usr/lib/wine/wine64 "$folder/zoomatch.exe" >"$work/loader.log" 2>&1 &
pids+=($!)
/usr/bin/python3 "$here/play.py" || fail "the program did not play"
wait "${pids[-1]}" || fail "the program did not end cleanly"
sed -i 's/\\\\/\\/g' "$work/loader.log" # Windows paths with single backslashes
exe_folder="Z:${folder//\//\\}"

loaded=$(sed -n 's/.*:loaddll:.*Loaded L"\(.*\)" at .*/\1/p' "$work/loader.log")
[ -n "$loaded" ] || fail "no loader log: $(head -c 2000 "$work/loader.log")"
beside=$(grep -iF "$exe_folder\\" <<<"$loaded" | grep -viF '\zoomatch.exe' || true)
[ -z "$beside" ] || fail "loaded from the exe's folder: $beside"
for name in $names; do
    grep -qixF "C:\\windows\\system32\\$name" <<<"$loaded" || fail "$name was not loaded from System32"
done
searches=$(sed -n '/:load_dll looking for L"[^"]*ole32\.dll" in L"/,$p' "$work/loader.log" |
    sed -n 's/.*:load_dll looking for L"\(.*\)" in L"\(.*\)"$/\1 in \2/p')
[ -n "$searches" ] || fail "the program never loaded COM"
wide=$(grep -iF "$exe_folder" <<<"$searches" || true)
[ -z "$wide" ] || fail "looked for in the exe's folder: $(head -n 5 <<<"$wide")"
echo "PASS: $names loaded from System32, and every DLL since COM's looked for there alone"
