#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine on a
# private Xvfb with a fresh prefix. ctest's summary is the last output.
#   HALCYNE_WINVER=win98 scripts/test.sh      emulate another Windows version
#   scripts/test.sh -R StringList             extra arguments go to ctest
#   HALCYNE_QUICK=1 scripts/test.sh -R Desk   while working: only the tree the
#                                             tests run on is built, no release
set -uo pipefail
. "$(dirname "$0")/env.sh"
# Build folders given relative to where the command was typed.
for var in HALCYNE_BUILD HALCYNE_I686_BUILD; do
    [ -n "${!var:-}" ] && [ "${!var#/}" = "${!var}" ] && export "$var=$PWD/${!var}"
done

"$HALCYNE_ROOT/scripts/setup.sh" || exit 1
halcyne_wine_env

# The product exe is always built for 32-bit Windows; its import table is checked
# by a test. The tests run on the tree for the Wine that this host can execute.
export HALCYNE_I686_EXE="${HALCYNE_I686_BUILD:-$HALCYNE_ROOT/build/i686}/halcyne.exe"
if [ -z "${HALCYNE_QUICK:-}" ] || [ "$HALCYNE_ARCH" = i686 ]; then
    echo "building halcyne.exe (i686)"
    halcyne_build i686 "${HALCYNE_I686_BUILD:-$HALCYNE_ROOT/build/i686}" || exit 1
fi
if [ "$HALCYNE_ARCH" != i686 ]; then
    echo "this host cannot execute 32-bit code: the tests run on an x86-64 build under wine64"
    halcyne_build "$HALCYNE_ARCH" "$HALCYNE_BUILD" || exit 1
fi

# The release (zip and setup program in dist/) for the tests of what ships.
[ -n "${HALCYNE_QUICK:-}" ] || "$HALCYNE_ROOT/scripts/release.sh" || exit 1

echo "preparing a fresh Wine prefix on a private display (${HALCYNE_WINVER:-winxp}, $WINEARCH)"
halcyne_private_session test "${HALCYNE_SCREEN:-1024x768}" "${HALCYNE_WINVER:-winxp}" || exit 1

# Watchdog: every test has its own timeout; the whole run gets one too.
timeout --kill-after=30 "${HALCYNE_TEST_TIMEOUT:-2400}" \
    ctest --test-dir "$HALCYNE_BUILD" --output-on-failure --timeout 120 "$@" 2>&1 \
    | sed -e 's/\r$//'
rc=${PIPESTATUS[0]}
exit "$rc"
