#!/usr/bin/env bash
# Builds what an administrator downloads: the stripped 32-bit exe, built from
# a clean folder without the test suites or the Wine stand-ins, packed as
#   dist/halcyne-<version>-win32.zip    exe, read-me, licence, deploy/
#   dist/halcyne-<version>-setup.exe    the installer (NSIS, ANSI)
# The version is HALCYNE_VERSION_TEXT in res/version.rc, the exe's VERSIONINFO.
# Environment: HALCYNE_RELEASE_BUILD (default build/release)
set -euo pipefail
. "$(dirname "$0")/env.sh"

fail() { echo "release: $*" >&2; exit 1; }

"$HALCYNE_ROOT/scripts/setup.sh"

rc="$HALCYNE_ROOT/res/version.rc"
version="$(sed -n 's/^#define HALCYNE_VERSION_TEXT "\([0-9]*\.[0-9]*\)"$/\1/p' "$rc")"
binary="$(sed -n 's/^#define HALCYNE_VERSION_BINARY \([0-9,]*\)$/\1/p' "$rc")"
[ -n "$version" ] && [ -n "$binary" ] || fail "no version in $rc"
# "2.08" is 2,8,0,0: the numeric form must say the same as the text.
[ "$binary" = "$((10#${version%%.*})),$((10#${version#*.})),0,0" ] \
    || fail "$rc: HALCYNE_VERSION_BINARY $binary does not match $version"

build="${HALCYNE_RELEASE_BUILD:-$HALCYNE_ROOT/build/release}"
dist="$HALCYNE_ROOT/dist"
stage="$build/stage"
zip="$dist/halcyne-$version-win32.zip"
setup="$dist/halcyne-$version-setup.exe"

echo "release $version: building halcyne.exe (i686, Release) in a clean $build"
rm -rf "$build"
mkdir -p "$build"
HALCYNE_BUILD_TARGET=halcyne halcyne_build i686 "$build" \
    -DHALCYNE_TESTS=OFF -DHALCYNE_WINE_STANDINS=OFF || fail "build failed"

# What goes to the administrator: Windows line ends in every text.
mkdir -p "$stage/deploy"
i686-w64-mingw32-strip -o "$stage/halcyne.exe" "$build/halcyne.exe"
crlf() { sed -e 's/\r$//' -e 's/$/\r/' "$1" >"$2"; }
crlf "$HALCYNE_ROOT/installer/README-ADMIN.txt" "$stage/README-ADMIN.txt"
crlf "$HALCYNE_ROOT/LICENSE" "$stage/LICENSE.txt"
for f in "$HALCYNE_ROOT"/deploy/*; do
    crlf "$f" "$stage/deploy/$(basename "$f")"
done

# The message boxes' caption, compiled into the code, must carry the same version.
grep -aq "Halcyne $version" "$stage/halcyne.exe" \
    || fail "the exe's caption text does not read \"Halcyne $version\" (res/version.rc says $version)"
"$HALCYNE_ROOT/scripts/check_imports.sh" "$stage/halcyne.exe" >/dev/null \
    || { "$HALCYNE_ROOT/scripts/check_imports.sh" "$stage/halcyne.exe"; fail "import table"; }

rm -rf "$dist"
mkdir -p "$dist"
(cd "$stage" && zip -q -X -D -9 "$zip" halcyne.exe README-ADMIN.txt LICENSE.txt deploy/*)

IFS=, read -r b1 b2 b3 b4 <<<"$binary"
makensis -WX -V2 -DVERSION="$version" -DVERSION_BINARY="$b1.$b2.$b3.$b4" \
    -DSRCDIR="$HALCYNE_ROOT" -DSTAGE="$stage" -DOUTFILE="$setup" "$HALCYNE_ROOT/installer/halcyne.nsi" \
    >"$build/makensis.log" 2>&1 || { cat "$build/makensis.log" >&2; fail "makensis failed"; }
"$HALCYNE_ROOT/scripts/check_imports.sh" --installer "$setup" >/dev/null \
    || { "$HALCYNE_ROOT/scripts/check_imports.sh" --installer "$setup"; fail "installer stub imports"; }

# The MSHTML stand-in is for Wine only: no DLL of any kind ships.
if find "$stage" "$dist" -iname '*.dll' | grep -q . \
        || unzip -Z1 "$zip" | grep -Eiq '\.dll$|mshtml'; then
    fail "a DLL (the Wine-only MSHTML stand-in?) reached the release"
fi
"$HALCYNE_ROOT/scripts/check_release.sh" "$zip" >/dev/null \
    || { "$HALCYNE_ROOT/scripts/check_release.sh" "$zip"; fail "zip contents"; }

for f in "$stage/halcyne.exe" "$zip" "$setup"; do
    printf '  %-40s %8d bytes\n' "${f#"$HALCYNE_ROOT"/}" "$(stat -c %s "$f")"
done
