#!/usr/bin/env bash
# Builds, starts the shell on a private X display with a fresh prefix, drives
# it to one view and saves shots/<scene>.png; ends every process it started.
#   scripts/screenshot.sh [scene...]     default: desktop
# Scenes: desktop, refresh (F5), tip, panel (logged in), memory, taskmanager, sessions
# (the panel's Guest Sessions), players (MP3 and movie player, the movie playing),
# help (F12), setup (the setup program's password page, with the shell choice),
# session (a paid session's field on the taskbar), warning (a free session's last
# minute), bill (a paid session ended from the menu). Several scenes: one shell
# each, in the same prefix.
# Environment: HALCYNE_SCREEN=1024x768, HALCYNE_WINVER=winxp
set -uo pipefail
. "$(dirname "$0")/env.sh"

scenes=("${@:-desktop}")
for scene in "${scenes[@]}"; do
    case "$scene" in
        desktop|refresh|tip|panel|memory|taskmanager|sessions|players|help|setup|session|warning|bill) ;;
        *) echo "unknown scene: $scene (desktop, refresh, tip, panel, memory, taskmanager, sessions, players, help, setup, session, warning, bill)" >&2; exit 2 ;;
    esac
done
size="${HALCYNE_SCREEN:-1024x768}"

"$HALCYNE_ROOT/scripts/setup.sh" || exit 1
halcyne_wine_env
echo "building halcyne.exe and the scene driver"
halcyne_build i686 "$HALCYNE_ROOT/build/i686" || exit 1
[ "$HALCYNE_ARCH" != i686 ] && { halcyne_build "$HALCYNE_ARCH" "$HALCYNE_BUILD" || exit 1; }

halcyne_private_session screenshot "$size" "${HALCYNE_WINVER:-winxp}" || exit 1
prefix="$work/prefix"
halcyne_sample_desktop "$prefix"
media="$(halcyne_winpath "$HALCYNE_ROOT/tests/media")"
music="$prefix/drive_c/Music"
mkdir -p "$music" && cp "$HALCYNE_ROOT/tests/media/tone.mp3" "$music/Tone.mp3"
reg() { "$WINE" reg add 'HKCU\Software\Hx_' /v "$1" "${@:2}" /f </dev/null >/dev/null 2>&1; }
reg ShowTTS /t REG_DWORD /d 1          # no tip at start-up: the tip is a scene of its own
reg Mp3Path /d 'C:\Music'
reg DesktopMovie /d "$media\\movie320x240.avi"

mkdir -p "$HALCYNE_ROOT/shots"
cd "$HALCYNE_BUILD" || exit 1
status=0
# The setup program from the same script as the release's; a host that cannot
# execute 32-bit code gets an x86-64 build of it, for this picture only.
setup_preview() {
    local stage="$work/setup-stage" target=()
    mkdir -p "$stage/deploy"
    cp "$HALCYNE_ROOT/build/i686/halcyne.exe" "$stage/" || return 1
    cp "$HALCYNE_ROOT/installer/README-ADMIN.txt" "$stage/"
    cp "$HALCYNE_ROOT/LICENSE" "$stage/LICENSE.txt"
    cp "$HALCYNE_ROOT"/deploy/* "$stage/deploy/"
    [ "$HALCYNE_ARCH" != i686 ] && target=(-DPREVIEW_TARGET=amd64-unicode)
    makensis -V1 -DVERSION=0.0 -DVERSION_BINARY=0.0.0.0 -DSRCDIR="$HALCYNE_ROOT" -DSTAGE="$stage" \
        -DOUTFILE="$work/setup.exe" "${target[@]}" "$HALCYNE_ROOT/installer/halcyne.nsi" >/dev/null
}

for scene in "${scenes[@]}"; do
    # Sessions only for their own scenes: free of one minute, or paid by the quarter.
    case "$scene" in
        warning) reg SessionMode /t REG_DWORD /d 1; reg SessionMinutes /t REG_DWORD /d 1 ;;
        session|bill) reg SessionMode /t REG_DWORD /d 2; reg SessionMinutes /t REG_DWORD /d 0
                      reg Hcost /d 200; reg Hcost2 /d 150; reg CurrencyText /d '$' ;;
        *) reg SessionMode /t REG_DWORD /d 0 ;;
    esac
    if [ "$scene" = setup ]; then
        setup_preview || { echo "scene setup: makensis failed" >&2; status=1; continue; }
        "$WINE" "$(halcyne_winpath "$work/setup.exe")" /SHELL=1 </dev/null >/dev/null 2>&1 &
    else
        "$WINE" halcyne.exe </dev/null >/dev/null 2>&1 &
    fi
    shell_pid=$!
    shot="$HALCYNE_ROOT/shots/$scene.png"
    if "$WINE" scene.exe "$scene" </dev/null >/dev/null 2>&1; then
        sleep 0.3   # the X server shows what Wine has just drawn
        import -window root -display "$DISPLAY" "$shot" 2>/dev/null && echo "screenshot: $shot"
    else
        echo "scene $scene: the view did not show" >&2
        status=1
    fi
    kill "$shell_pid" 2>/dev/null
    wait "$shell_pid" 2>/dev/null
done
exit "$status"
