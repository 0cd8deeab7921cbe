#!/usr/bin/env bash
# Fails when halcyne.exe imports an entry point that Windows 95 lacks or that
# the shell looks up at run time, or a DLL that is not part of Windows.
#   check_imports.sh <exe> [objdump]
set -u
exe="${1:?exe}"
objdump="${2:-i686-w64-mingw32-objdump}"
[ -f "$exe" ] || { echo "missing: $exe"; exit 1; }
table="$("$objdump" -p "$exe")" || exit 1
status=0
for name in AnimateWindow RegisterServiceProcess _beginthread _endthread ShowHTMLDialog; do
    if printf '%s\n' "$table" | grep -Eq "^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+$name\$"; then
        echo "imported, must be looked up at run time: $name"
        status=1
    fi
done
allowed='^(kernel32|user32|gdi32|comctl32|advapi32|shell32|comdlg32|shlwapi|ole32|oleaut32|msvfw32|avifil32|urlmon|msvcrt|winmm|version|psapi)\.dll$'
while read -r dll; do
    if ! printf '%s\n' "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
        echo "imports a DLL that Windows does not provide: $dll"
        status=1
    fi
done < <(printf '%s\n' "$table" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ "$status" = 0 ] && echo "import table of $(basename "$exe"): system DLLs only, no run-time-only entry points"
exit "$status"
