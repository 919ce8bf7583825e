#!/usr/bin/env bash
# The Windows figures (a benchmark, not a test): the size of each edition's
# exe, installer and MSI against their budgets, and the win64 edition's time
# to its first painted frame under Wine against the floor (floor_label.cpp,
# an empty window with one label), taking turns, medians.
#   bench/windows/run-startup.sh [ROUNDS]    (default 15; after ./build.sh windows)
# Needs what ./build.sh windows-test installs (MinGW-w64, wine64, xvfb, python3-xlib).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
here=$top/bench/windows
out=$top/build-windows
rounds=${1:-15}
version=1.0.0.0
for edition in win32 win64; do
    [ -f "$out/zoomatch-$version-$edition.msi" ] || { echo "run ./build.sh windows first" >&2; exit 1; }
done

echo "Sizes (budget: exe 400 KB, installer and MSI 600 KB each; 1 KB = 1024 bytes):"
for edition in win32 win64; do
    for package in "-portable.exe 400" "-setup.exe 600" ".msi 600"; do
        read -r suffix budget <<<"$package"
        file=$out/zoomatch-$version-$edition$suffix
        awk -v name="$(basename "$file")" -v size="$(stat -c %s "$file")" -v budget="$budget" 'BEGIN {
            printf "  %-36s %6.1f KB  %s\n", name, size / 1024,
                size <= budget * 1024 ? "within " budget " KB" : "OVER " budget " KB" }'
    done
done

# The floor, built as the quiz is: MinGW-w64 x86_64, -Os, static runtime,
# the quiz's manifest.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
x86_64-w64-mingw32-windres -DZOOMATCH_MANIFEST="\\\"$top/window/win32/zoomatch.manifest\\\"" \
    "$here/floor_label.rc" -O coff -o "$work/floor_label.res"
x86_64-w64-mingw32-g++-win32 -std=c++20 -Os -Wall -Wextra -Wpedantic -DUNICODE -D_UNICODE \
    -D_WIN32_WINNT=0x0601 -mwindows -static-libgcc -static-libstdc++ -s \
    "$here/floor_label.cpp" "$work/floor_label.res" -lcomctl32 -lole32 -lgdi32 \
    -o "$work/floor_label.exe"
echo
echo "First painted frame under Wine ($(wine64 --version 2>/dev/null || echo wine64)), $rounds rounds taking turns:"
"$top/tests/wine-session.sh" /usr/bin/python3 "$here/first_frame.py" "$rounds" \
    "$work/floor_label.exe" "$out/zoomatch-$version-win64-portable.exe"
