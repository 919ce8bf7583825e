#!/bin/sh
# Makes the MSI of one edition with wixl, from the WiX source in the current
# folder, and gives it the Windows-1251 code page and the shortcut's Cyrillic
# name (both beyond wixl). The same sources give the same file: with
# SOURCE_DATE_EPOCH set, every tool runs at that moment (faketime), and the
# package code, which wixl picks at random, is derived from the content.
# The cabinet keeps the files' times: those of the staged folder STAGE are
# set to that moment too.
#   make-msi.sh ARCH WXS MSI CODEPAGE_IDT SHORTCUT_NAME STAGE
set -eu
arch=$1 wxs=$2 msi=$3 codepage=$4 shortcut=$5 stage=$6
export TZ=UTC
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
fi
at() {
    if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
        faketime -f "$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')" "$@"
    else
        "$@"
    fi
}
at wixl -a "$arch" -o "$msi" "$wxs"
at msibuild "$msi" -i "$codepage"
at msibuild "$msi" -q \
    "UPDATE \`Shortcut\` SET \`Name\` = 'zoomatch|$shortcut' WHERE \`Shortcut\` = 'StartMenuShortcut'"
summary=$(msiinfo suminfo "$msi")
field() { printf '%s\n' "$summary" | sed -n "s/^$1: //p"; }
# The package code: first a fixed one, then a name-based UUID of the whole file.
set -- "$(field Subject)" "$(field Author)" "$(field Template)"
at msibuild "$msi" -s "$@" "{00000000-0000-0000-0000-000000000000}"
hash=$(sha256sum "$msi" | cut -c1-32)
code=$(printf '%s' "$hash" | sed 's/^\(.\{8\}\)\(.\{4\}\).\(.\{3\}\).\(.\{3\}\)\(.\{12\}\).*/\1-\2-5\3-8\4-\5/' |
    tr a-f A-F)
at msibuild "$msi" -s "$@" "{$code}"
