#!/usr/bin/env bash
# Installs what is missing, builds, and starts the shell under Wine inside a
# Wine virtual desktop. The prefix (.prefix/) persists between runs, so the
# shell's settings persist as on a real machine.
#   scripts/run.sh                  run until the shell ends (or Ctrl+C)
# (scripts/screenshot.sh shows one view of it at a time.)
# Environment: HALCYNE_SCREEN=800x600, HALCYNE_WINVER=win98|win95|winme|win2k|winxp
set -uo pipefail
. "$(dirname "$0")/env.sh"

size="${HALCYNE_SCREEN:-1024x768}"

"$HALCYNE_ROOT/scripts/setup.sh" || exit 1
halcyne_wine_env
echo "building halcyne.exe"
halcyne_build i686 "$HALCYNE_ROOT/build/i686" || exit 1
if [ "$HALCYNE_ARCH" != i686 ]; then
    echo "this host cannot execute 32-bit code: running the x86-64 build of the same sources under wine64"
    halcyne_build "$HALCYNE_ARCH" "$HALCYNE_BUILD" || exit 1
fi

cleanup() {
    trap - EXIT INT TERM
    halcyne_stop_prefix
    [ -n "${shell_pid:-}" ] && kill "$shell_pid" 2>/dev/null
    [ -n "${vnc_pid:-}" ] && kill "$vnc_pid" 2>/dev/null
    [ -n "${HALCYNE_XVFB_PID:-}" ] && kill "$HALCYNE_XVFB_PID" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT INT TERM

private=0
if [ -z "${DISPLAY:-}" ]; then
    halcyne_start_xvfb "$size" || exit 1
    private=1
fi

prefix="$HALCYNE_ROOT/.prefix/$HALCYNE_ARCH"
echo "Wine prefix: $prefix (${HALCYNE_WINVER:-winxp}, desktop $size)"
halcyne_init_prefix "$prefix" "$size" "${HALCYNE_WINVER:-winxp}"
halcyne_sample_desktop "$prefix"

if [ "$private" = 1 ]; then
    port=$((5900 + ${DISPLAY#:}))
    x11vnc -display "$DISPLAY" -localhost -nopw -forever -shared -rfbport "$port" -quiet \
        >/dev/null 2>&1 &
    vnc_pid=$!
    echo "no \$DISPLAY: the shell runs on private display $DISPLAY; view it with a VNC viewer at localhost:$port"
fi

cd "$HALCYNE_BUILD" || exit 1
"$WINE" halcyne.exe </dev/null >/dev/null 2>&1 &
shell_pid=$!

if [ "$private" = 1 ]; then
    sleep "${HALCYNE_SHOT_DELAY:-6}"
    mkdir -p "$HALCYNE_ROOT/shots"
    shot="$HALCYNE_ROOT/shots/halcyne-$(date +%Y%m%d-%H%M%S).png"
    import -window root -display "$DISPLAY" "$shot" 2>/dev/null && echo "screenshot: $shot"
fi
wait "$shell_pid"
