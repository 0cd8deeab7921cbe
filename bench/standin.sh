#!/usr/bin/env bash
# Times the Wine HTML dialog (our MSHTML.DLL) on generated pages: plain
# text, lists never closed, comments never closed, at each size; prints the
# seconds from the call to the painted page, and seconds per megabyte.
# Usage: bench/standin.sh [--sizes "1 4 16"] [--kinds "text lists comments"]
set -uo pipefail
. "$(dirname "$0")/../scripts/env.sh"

sizes="1 4 16" kinds="text lists comments"
while [ $# -gt 0 ]; do
    case "$1" in
        --sizes) sizes="$2"; shift ;;
        --kinds) kinds="$2"; shift ;;
    esac
    shift
done

"$HALCYNE_ROOT/scripts/setup.sh" || exit 1
halcyne_wine_env
halcyne_build "$HALCYNE_ARCH" "$HALCYNE_BUILD" || exit 1
timing="$HALCYNE_BUILD/bench/htmltiming.exe"
mkdir -p "$HALCYNE_BUILD/bench"
"$HALCYNE_ARCH-w64-mingw32-g++-posix" -std=c++17 -O2 -Wall -static -static-libgcc -static-libstdc++ \
    -o "$timing" "$HALCYNE_ROOT/bench/HtmlTiming.cpp" -lole32 -luuid -lpsapi || exit 1

halcyne_private_session standin 1024x768 "${HALCYNE_WINVER:-winxp}" || exit 1
folder="$(halcyne_winpath "$work")"
echo "HTML dialog stand-in ($HALCYNE_ARCH build, Wine $("$WINE" --version 2>/dev/null)), call to painted page"
for kind in $kinds; do
    for size in $sizes; do
        "$WINE" "$timing" "$kind" "$size" "$folder" </dev/null 2>&1 | tr -d '\r' | grep -v '^[0-9a-f]*:\(err\|fixme\)'
    done
done
exit 0
