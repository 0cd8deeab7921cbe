#!/usr/bin/env bash
# Measures the shell under Wine on a private Xvfb, every figure beside the
# floor measured in the same rounds:
#   - launch to painted with an empty Desktop folder and with 255 files of
#     mixed kinds (programs, shortcuts, icons, documents, pictures, links),
#     vs. a minimal full-screen program (the floor) and vs. Wine's own desktop
#     shell with its taskbar and no icons (the peer)
#   - F5 (rebuild of the 255-file desktop) to painted
#   - resident memory after start-up, empty and 255 files
#   - the memory cleaner's throughput over 256 MB, beside memcpy
#   - CPU time over an idle minute with 14 windows open, and again with a
#     paid guest session running (--idle)
# Usage: bench/bench.sh [--rounds N] [--idle]
set -uo pipefail
. "$(dirname "$0")/../scripts/env.sh"

rounds=7 idle=0
while [ $# -gt 0 ]; do
    case "$1" in
        --rounds) rounds="$2"; shift ;;
        --idle) idle=1 ;;
    esac
    shift
done

"$HALCYNE_ROOT/scripts/setup.sh" || exit 1
halcyne_wine_env
halcyne_build i686 "$HALCYNE_ROOT/build/i686" || exit 1
[ "$HALCYNE_ARCH" != i686 ] && { halcyne_build "$HALCYNE_ARCH" "$HALCYNE_BUILD" || exit 1; }

halcyne_private_session bench 1024x768 "${HALCYNE_WINVER:-winxp}" || exit 1
# A new prefix is booted twice (by Wine on first use, then by wineboot -i),
# which leaves two service managers on one server; a program starting a
# service then waits 3-10 s on the one that did not start it (Wine's desktop
# shell starts RpcSs). So the server is started afresh and Wine boots the
# prefix once, for the keeper, its first program. (A Wine program still
# starting up ignores SIGTERM, hence SIGKILL.)
kill -9 "$keeper_pid" 2>/dev/null; wait "$keeper_pid" 2>/dev/null
"$WINESERVER" -k; "$WINESERVER" -w
"$WINESERVER" -p </dev/null >/dev/null 2>&1
"$WINE" "$HALCYNE_BUILD/keeper.exe" </dev/null >/dev/null 2>&1 &
keeper_pid=$!
cd "$HALCYNE_BUILD" || exit 1
probe() { "$WINE" probe.exe "$@" </dev/null 2>/dev/null | tr -d '\r'; }
median() { sort -n | awk '{a[NR]=$1} END {if (NR) print a[int((NR+1)/2)]; else print "nan"}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {print (b > 0) ? a / b : 0}'; }

# Two Desktop folders: empty, and 255 files of the kinds a guest PC carries.
# Programs, shortcuts and icon files carry icons of their own; the rest share
# their type's icon.
drive="$work/prefix/drive_c"
empty="$drive/BenchEmpty" mixed="$drive/BenchMixed" shared="$drive/BenchShared"
mkdir -p "$empty" "$mixed" "$shared"
# Programs with icons of their own, of those this prefix holds (a 64-bit
# prefix keeps winhlp32 elsewhere or not at all).
programs=()
for program in "$drive/windows/notepad.exe" "$drive/windows/regedit.exe" \
               "$drive/windows/winhlp32.exe" "$drive/windows/system32/winhlp32.exe" \
               "$drive/windows/system32/taskmgr.exe" "$HALCYNE_BUILD/halcyne.exe"; do
    [ -f "$program" ] && programs+=("$program")
done
for i in $(seq -w 1 45); do cp "${programs[$((10#$i % ${#programs[@]}))]}" "$mixed/Program $i.exe"; done
probe links 'C:\BenchMixed' 45 'C:\windows\notepad.exe' >/dev/null
for i in $(seq -w 1 15); do cp "$HALCYNE_ROOT/res/halcyne.ico" "$mixed/Icon $i.ico"; done
for i in $(seq -w 1 50); do printf 'note %s\r\n' "$i" >"$mixed/Note $i.txt"; done
for i in $(seq -w 1 40); do cp "$HALCYNE_ROOT/res/start.bmp" "$mixed/Picture $i.bmp"; done
for i in $(seq -w 1 30); do printf '[InternetShortcut]\r\nURL=http://localhost/%s\r\n' "$i" >"$mixed/Link $i.url"; done
for i in $(seq -w 1 30); do printf '<html><body>%s</body></html>\r\n' "$i" >"$mixed/Page $i.htm"; done
# The same count in one type that shares its icon: the view's own cost,
# without a lookup per file.
for i in $(seq -w 1 255); do printf '<html><body>%s</body></html>\r\n' "$i" >"$shared/Page $i.htm"; done
count=$(ls "$mixed" | wc -l)
[ "$count" = 255 ] || { echo "bench: the mixed folder holds $count files, not 255" >&2; exit 1; }

# Wine rewrites "Shell Folders" from "User Shell Folders" now and then: set both.
use_desktop() {
    local key
    for key in 'Shell Folders' 'User Shell Folders'; do
        "$WINE" reg add "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\$key" \
            /v Desktop /d "$1" /f >/dev/null 2>&1
    done
}
"$WINE" reg add 'HKCU\Software\Hx_' /v ShowTTS /t REG_DWORD /d 1 /f >/dev/null 2>&1

# Wine's own desktop shell: a desktop of its own per round (a name reused
# while the last one is closing waits for it), with the shell switched on.
peer_round() {
    local name="BenchPeer$1"
    "$WINE" reg add "HKCU\\Software\\Wine\\Explorer\\Desktops\\$name" /v EnableShell /t REG_DWORD /d 1 /f \
        >/dev/null 2>&1
    probe peer "$name" 1024x768
}

floor_ms=() empty_ms=() mixed_ms=() shared_ms=() peer_ms=()
for r in $(seq 1 "$rounds"); do
    floor_ms+=("$(probe launch FloorWindow Floor floor.exe)")
    use_desktop 'C:\BenchEmpty'
    empty_ms+=("$(probe launch Win 'Tavix Halcyne 2.0' halcyne.exe)")
    peer_ms+=("$(peer_round "$r")")
    use_desktop 'C:\BenchMixed'
    mixed_ms+=("$(probe launch Win 'Tavix Halcyne 2.0' halcyne.exe)")
    use_desktop 'C:\BenchShared'
    shared_ms+=("$(probe launch Win 'Tavix Halcyne 2.0' halcyne.exe)")
done
floor=$(printf '%s\n' "${floor_ms[@]}" | median)
empty_launch=$(printf '%s\n' "${empty_ms[@]}" | median)
mixed_launch=$(printf '%s\n' "${mixed_ms[@]}" | median)
shared_launch=$(printf '%s\n' "${shared_ms[@]}" | median)
peer=$(printf '%s\n' "${peer_ms[@]}" | median)

# A shell of this run, known by its process id (the loader becomes the
# Windows process), left painted for a few seconds before it is measured.
start_shell() {
    "$WINE" halcyne.exe </dev/null >/dev/null 2>&1 &
    shell_pid=$!
    probe wait Win 'Tavix Halcyne 2.0' >/dev/null
}
rss_mb() { awk '/VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$1/status" 2>/dev/null; }
stop_shell() { kill "$shell_pid" 2>/dev/null; wait "$shell_pid" 2>/dev/null; }

"$WINE" floor.exe </dev/null >/dev/null 2>&1 &
shell_pid=$!
probe wait FloorWindow Floor >/dev/null; sleep 2
rss_floor=$(rss_mb "$shell_pid")
stop_shell

use_desktop 'C:\BenchEmpty'
start_shell; sleep 2
rss_empty=$(rss_mb "$shell_pid")
stop_shell

use_desktop 'C:\BenchMixed'
start_shell; sleep 2
rss_mixed=$(rss_mb "$shell_pid")
refresh_ms=()
for r in $(seq 1 "$rounds"); do
    refresh_ms+=("$(probe refresh Win 'Tavix Halcyne 2.0')")
done
refresh=$(printf '%s\n' "${refresh_ms[@]}" | median)

# The shell's CPU seconds over a minute, 14 other windows open.
idle_cpu() {
    local t0 t1
    "$WINE" probe.exe windows 14 75 </dev/null >/dev/null 2>&1 &
    sleep 10
    t0=$(awk '{print $14 + $15}' "/proc/$shell_pid/stat")
    sleep 60
    t1=$(awk '{print $14 + $15}' "/proc/$shell_pid/stat")
    awk -v a="$t0" -v b="$t1" -v hz="$(getconf CLK_TCK)" 'BEGIN {printf "%.2f", (b - a) / hz}'
}
cpu="" session_cpu=""
[ "$idle" = 1 ] && cpu=$(idle_cpu)
stop_shell
if [ "$idle" = 1 ]; then
    # A paid session with no limit and no idle end, begun by a key.
    sessions() { "$WINE" reg add 'HKCU\Software\Hx_' /v "$1" "${@:2}" /f >/dev/null 2>&1; }
    sessions SessionMode /t REG_DWORD /d 2; sessions SessionMinutes /t REG_DWORD /d 0
    sessions IdleMinutes /t REG_DWORD /d 0; sessions Hcost /d 200
    start_shell
    "$WINE" scene.exe session </dev/null >/dev/null 2>&1
    session_cpu=$(idle_cpu)
    stop_shell
    sessions SessionMode /t REG_DWORD /d 0
fi

# The memory cleaner over a 256 MB block, beside memcpy of the same size.
cleaner_mbs=() copy_mbs=()
for r in $(seq 1 "$rounds"); do
    read -r c m < <(probe cleaner 256)
    cleaner_mbs+=("${c:-0}") copy_mbs+=("${m:-0}")
done
cleaner=$(printf '%s\n' "${cleaner_mbs[@]}" | median)
copy=$(printf '%s\n' "${copy_mbs[@]}" | median)

echo "Halcyne 2 benchmark ($HALCYNE_ARCH build, Wine $("$WINE" --version 2>/dev/null), ${rounds} rounds, medians)"
printf '  floor: minimal full-screen window, launch to painted   %8.1f ms\n' "$floor"
printf '  shell: empty desktop, launch to painted              %8.1f ms   %.2f x floor (goal 1.3)\n' \
    "$empty_launch" "$(ratio "$empty_launch" "$floor")"
printf '  shell: 255 mixed files, launch to painted            %8.1f ms   %.2f x floor (goal 1.8)\n' \
    "$mixed_launch" "$(ratio "$mixed_launch" "$floor")"
printf '  shell: 255 files of one type, launch to painted      %8.1f ms   %.2f x floor (the view alone)\n' \
    "$shared_launch" "$(ratio "$shared_launch" "$floor")"
printf '  peer: Wine desktop shell with taskbar, to painted    %8.1f ms   %.2f x floor\n' \
    "$peer" "$(ratio "$peer" "$floor")"
printf '  shell: F5 with 255 mixed files, to painted           %8.1f ms   %.2f x floor (goal 150 ms)\n' \
    "$refresh" "$(ratio "$refresh" "$floor")"
printf '  shell: resident memory after start-up, empty / 255   %5s / %s MB (goal 22 MB with 255; floor %s MB)\n' \
    "${rss_empty:-?}" "${rss_mixed:-?}" "${rss_floor:-?}"
printf '  cleaner: 256 MB block touched                       %8.1f MB/s  memcpy %.1f MB/s\n' \
    "$cleaner" "$copy"
[ -n "$cpu" ] && printf '  shell: CPU over 60 s idle with 14 windows open        %8s s   (%.2f%% of one core)\n' \
    "$cpu" "$(awk -v c="$cpu" 'BEGIN {print c / 60 * 100}')"
[ -n "$session_cpu" ] && printf '  shell: the same with a guest session running          %8s s   (%.2f%% of one core; goal 0.3%%)\n' \
    "$session_cpu" "$(awk -v c="$session_cpu" 'BEGIN {print c / 60 * 100}')"
exit 0
