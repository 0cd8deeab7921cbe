# Shared by the run, test, screenshot and benchmark scripts: picks the Wine
# flavour and build tree, makes Wine prefixes and private X servers.
# Sourced, not run.

HALCYNE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# The product is a 32-bit exe. Some hosts (certain VM kernels) cannot execute
# 32-bit code at all, so wine32 cannot start there; on those the same sources
# are also built for x86-64 and run under wine64 so the whole suite still runs.
halcyne_pick_arch() {
    if [ -n "${HALCYNE_ARCH:-}" ]; then return; fi
    if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
        HALCYNE_ARCH=i686
    else
        HALCYNE_ARCH=x86_64
    fi
}

halcyne_wine_env() {
    halcyne_pick_arch
    if [ "$HALCYNE_ARCH" = i686 ]; then
        WINE=/usr/lib/wine/wine
        export WINEARCH=win32
    else
        WINE=/usr/lib/wine/wine64
        export WINEARCH=win64
    fi
    WINESERVER=/usr/lib/wine/wineserver
    export WINELOADER="$WINE" WINESERVER
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-winemenubuilder.exe=d;mscoree=d}"
    HALCYNE_BUILD="${HALCYNE_BUILD:-$HALCYNE_ROOT/build/$HALCYNE_ARCH}"
    # A silent sound card, so media can play on machines without one.
    export ALSA_CONFIG_PATH="$HALCYNE_ROOT/scripts/alsa-null.conf"
}

# halcyne_build <arch> <build dir> [cmake options...]
# The one way every script builds. Options given override the defaults (the
# Wine stand-ins on); HALCYNE_BUILD_TARGET builds one target instead of all.
halcyne_build() {
    local arch="$1" dir="$2"
    shift 2
    mkdir -p "$dir"
    # Trees made with the older per-architecture toolchain files start their
    # configuration again (the objects stay).
    if grep -qs 'cmake/\(i686\|x86_64\)\.cmake' "$dir/CMakeCache.txt" "$dir"/CMakeFiles/[0-9]*/CMakeSystem.cmake; then
        rm -rf "$dir/CMakeCache.txt" "$dir"/CMakeFiles/[0-9]*
    fi
    # Configured every time (cheap once cached) so that new options reach old trees.
    if ! cmake -S "$HALCYNE_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$HALCYNE_ROOT/cmake/mingw.cmake" -DHALCYNE_ARCH="$arch" \
            -DCMAKE_CROSSCOMPILING_EMULATOR="$HALCYNE_ROOT/scripts/wine-run.sh" \
            -DHALCYNE_WINE_STANDINS=ON "$@" >"$dir/configure.log" 2>&1; then
        cat "$dir/configure.log" >&2
        return 1
    fi
    if ! cmake --build "$dir" ${HALCYNE_BUILD_TARGET:+--target "$HALCYNE_BUILD_TARGET"} \
            -j "$(nproc)" -- --no-print-directory >"$dir/build.log" 2>&1; then
        grep -E -B2 -A6 'error|Error' "$dir/build.log" | head -80 >&2
        return 1
    fi
}

# Starts a private Xvfb on the first free display; sets HALCYNE_XVFB_PID, DISPLAY.
halcyne_start_xvfb() {
    local size="${1:-1024x768}" n
    for n in $(seq 91 199); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
        HALCYNE_XVFB_PID=$!
        local i
        for i in $(seq 1 100); do
            [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
            kill -0 "$HALCYNE_XVFB_PID" 2>/dev/null || break
            sleep 0.05
        done
    done
    echo "no X display could be started" >&2
    return 1
}

# halcyne_init_prefix <prefix> <desktop size> <windows version>
# A new or existing prefix with a virtual desktop, fonts, no crash dialog and
# the chosen Windows version. Leaves a detached wineserver running.
halcyne_init_prefix() {
    local prefix="$1" size="${2:-1024x768}" version="${3:-winxp}"
    export WINEPREFIX="$prefix"
    mkdir -p "$prefix"
    # Detached, stdio closed: otherwise ctest waits for every holder of its pipe.
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    # Plain wineboot: Wine boots a new prefix by itself on first use, and "-i"
    # on top of that leaves two service managers on one server, which stalls
    # every later start of a COM service (explorer's desktop shell waits 3-10 s).
    if [ ! -f "$prefix/system.reg" ]; then
        "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
    fi
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    local reg="$prefix/halcyne-setup.reg"
    cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine]
"Version"="$version"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="$size"

; Unmanaged windows: Wine otherwise waits up to 2 s for a window manager
; (there is none inside the virtual desktop) each time a window is hidden.
[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Decorated"="N"
"Managed"="N"

; The HTML dialog comes from our MSHTML.DLL in system32 (Wine's shows nothing).
[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]
"mshtml"="native,builtin"

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"
REG
    "$WINE" regedit /S "$(halcyne_winpath "$reg")" </dev/null >/dev/null 2>&1 || true
    # In place of Wine's placeholder, so every exe of the prefix gets it and
    # the build folder of the exe that ships holds no MSHTML.DLL.
    local standin="$HALCYNE_BUILD/winestandin/MSHTML.dll"
    [ -f "$standin" ] && cp -f "$standin" "$prefix/drive_c/windows/system32/mshtml.dll"
    return 0
}

# Unix path to the Windows path Wine gives it (drive Z:).
halcyne_winpath() {
    printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"
}

# halcyne_sample_desktop <prefix>
# The prefix's own Desktop folder (C:\Desktop) with a few sample documents,
# made once; both "Shell Folders" point at it every time, since Wine rewrites
# one from the other now and then.
halcyne_sample_desktop() {
    local desk="$1/drive_c/Desktop" key
    if [ ! -d "$desk" ]; then
        mkdir -p "$desk"
        printf 'Welcome to Halcyne 2.\r\nDouble-click a document to open it.\r\n' >"$desk/Welcome.txt"
        printf 'Opening hours: 9:00 - 21:00\r\n' >"$desk/Opening hours.txt"
        cp "$HALCYNE_ROOT/res/start.bmp" "$desk/Start button.bmp"
    fi
    for key in 'Shell Folders' 'User Shell Folders'; do
        "$WINE" reg add "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\$key" \
            /v Desktop /d 'C:\Desktop' /f </dev/null >/dev/null 2>&1
    done
}

halcyne_stop_prefix() {
    [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k >/dev/null 2>&1 || true
}

# A private session for the tests and the benchmark: a work folder, an Xvfb,
# a fresh prefix in the work folder, and the keeper that holds the virtual
# desktop open; all of it ends when the calling script exits.
#   halcyne_private_session <name> <size> <version>     sets $work
halcyne_private_session() {
    work="$(mktemp -d "/tmp/halcyne-$1.XXXXXX")"
    trap halcyne_end_session EXIT
    trap 'halcyne_end_session; exit 130' INT
    trap 'halcyne_end_session; exit 143' TERM
    halcyne_start_xvfb "$2" || return 1
    halcyne_init_prefix "$work/prefix" "$2" "$3"
    # Keeps the virtual desktop open between programs (Wine closes an unused one).
    "$WINE" "$HALCYNE_BUILD/keeper.exe" </dev/null >/dev/null 2>&1 &
    keeper_pid=$!
}

halcyne_end_session() {
    trap - EXIT INT TERM
    halcyne_stop_prefix
    [ -n "${keeper_pid:-}" ] && kill "$keeper_pid" 2>/dev/null
    [ -n "${HALCYNE_XVFB_PID:-}" ] && kill "$HALCYNE_XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
