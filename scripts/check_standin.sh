#!/usr/bin/env bash
# Fails when the Wine-only MSHTML.DLL could reach a Windows machine: it must
# never lie beside halcyne.exe, and a build with the stand-ins off (as for
# Windows) must not make it at all.
#   check_standin.sh <toolchain file> <exe folder>...
set -u
toolchain="${1:?toolchain}"
shift
root="$(cd "$(dirname "$0")/.." && pwd)"
status=0
for folder in "$@"; do
    if ls "$folder" 2>/dev/null | grep -qix 'mshtml\.dll'; then
        echo "MSHTML.DLL lies beside the exe in $folder"
        status=1
    fi
done
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
# Configuring is enough: the tree's own target list says what it would build.
cmake -S "$root" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DHALCYNE_TESTS=OFF >/dev/null \
    || { echo "a build with the stand-ins off does not configure"; exit 1; }
if cmake --build "$tree" --target help | grep -qi mshtml; then
    echo "a build with HALCYNE_WINE_STANDINS off would make MSHTML.DLL"
    status=1
fi
[ "$status" = 0 ] && echo "no MSHTML.DLL beside the exe; none in a build for Windows"
exit "$status"
