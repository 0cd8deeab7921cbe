#!/usr/bin/env bash
# Installs what is missing, builds, and starts the shell under Wine inside a
# Wine virtual desktop. The prefix (.prefix/) persists between runs, so the
# shell's settings persist as on a real machine.
#   scripts/run.sh                  run until the shell ends (or Ctrl+C)
#   scripts/run.sh --screenshot     start, save a screenshot, stop
# Environment: HALCYNE_SCREEN=800x600, HALCYNE_WINVER=win98|win95|winme|win2k|winxp
set -uo pipefail
. "$(dirname "$0")/env.sh"

shot_only=0
[ "${1:-}" = "--screenshot" ] && shot_only=1
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
if [ -z "${DISPLAY:-}" ] || [ "$shot_only" = 1 ]; then
    halcyne_start_xvfb "$size" || exit 1
    private=1
fi

prefix="$HALCYNE_ROOT/.prefix/$HALCYNE_ARCH"
first=0
[ -f "$prefix/system.reg" ] || first=1
echo "Wine prefix: $prefix (${HALCYNE_WINVER:-winxp}, desktop $size)"
halcyne_init_prefix "$prefix" "$size" "${HALCYNE_WINVER:-winxp}"
if [ "$first" = 1 ]; then
    # A Desktop folder of its own, not the Linux home that Wine links by default.
    desk="$prefix/drive_c/Desktop"
    mkdir -p "$desk"
    printf 'Welcome to Halcyne 2.\r\nDouble-click a document to open it.\r\n' >"$desk/Welcome.txt"
    printf 'Opening hours: 9:00 - 21:00\r\n' >"$desk/Opening hours.txt"
    cp "$HALCYNE_ROOT/res/start.bmp" "$desk/Start button.bmp"
fi
# Wine rewrites "Shell Folders" from "User Shell Folders" now and then: set both, every run.
for key in 'Shell Folders' 'User Shell Folders'; do
    "$WINE" reg add "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\$key" \
        /v Desktop /d 'C:\Desktop' /f </dev/null >/dev/null 2>&1
done

if [ "$private" = 1 ] && [ "$shot_only" = 0 ]; then
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
[ "$shot_only" = 1 ] && exit 0
wait "$shell_pid"
