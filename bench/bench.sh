#!/usr/bin/env bash
# Measures the shell under Wine on a private Xvfb, each figure beside a floor
# measured in the same run:
#   - launch to painted with a Desktop folder of 255 files, vs. a minimal
#     full-screen program (the floor)
#   - F5 (rebuild of the 255-file desktop) to painted
#   - resident memory after start-up
#   - the memory cleaner's throughput over 256 MB, vs. memcpy of the same size
#   - CPU time over an idle minute with 14 windows open (--idle)
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

desk="$work/prefix/drive_c/BenchDesktop"
mkdir -p "$desk"
for i in $(seq -w 1 255); do
    case $((10#$i % 3)) in
        0) printf 'note %s\r\n' "$i" >"$desk/Note $i.txt" ;;
        1) cp "$HALCYNE_ROOT/res/start.bmp" "$desk/Picture $i.bmp" ;;
        2) printf '[InternetShortcut]\r\nURL=http://localhost/%s\r\n' "$i" >"$desk/Link $i.url" ;;
    esac
done
# Wine rewrites "Shell Folders" from "User Shell Folders" now and then: set both.
for key in 'Shell Folders' 'User Shell Folders'; do
    "$WINE" reg add "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\$key" /v Desktop /d 'C:\BenchDesktop' /f >/dev/null 2>&1
done
"$WINE" reg add 'HKCU\Software\Hx_' /v ShowTTS /t REG_DWORD /d 1 /f >/dev/null 2>&1

cd "$HALCYNE_BUILD" || exit 1
probe() { "$WINE" probe.exe "$@" </dev/null 2>/dev/null | tr -d '\r'; }
median() { sort -n | awk '{a[NR]=$1} END {if (NR) print a[int((NR+1)/2)]; else print "nan"}'; }

floor_ms=() shell_ms=() refresh_ms=()
for r in $(seq 1 "$rounds"); do
    floor_ms+=("$(probe launch FloorWindow Floor floor.exe)")
    shell_ms+=("$(probe launch Win 'Tavix Halcyne 2.0' halcyne.exe)")
done
floor=$(printf '%s\n' "${floor_ms[@]}" | median)
shell=$(printf '%s\n' "${shell_ms[@]}" | median)

# F5 on a running shell, and its resident memory after start-up.
"$WINE" halcyne.exe </dev/null >/dev/null 2>&1 &
shell_pid=$!
sleep 3
for r in $(seq 1 "$rounds"); do
    refresh_ms+=("$(probe refresh Win 'Tavix Halcyne 2.0')")
done
refresh=$(printf '%s\n' "${refresh_ms[@]}" | median)
rss_kb=$(ps -o rss= -p "$(pgrep -f 'halcyne.exe' | head -1)" 2>/dev/null | tr -d ' ')

cpu=""
if [ "$idle" = 1 ]; then
    "$WINE" probe.exe windows 14 75 </dev/null >/dev/null 2>&1 &
    sleep 10
    pid=$(pgrep -f 'halcyne.exe' | head -1)
    t0=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    sleep 60
    t1=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    cpu=$(awk -v a="$t0" -v b="$t1" -v hz="$(getconf CLK_TCK)" 'BEGIN {printf "%.2f", (b - a) / hz}')
fi
kill "$shell_pid" 2>/dev/null

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
printf '  shell: 255-file desktop, launch to painted            %8.1f ms   ratio %.2f x floor (goal 1.5)\n' \
    "$shell" "$(awk -v a="$shell" -v b="$floor" 'BEGIN {print a / b}')"
printf '  shell: F5 with 255 files, to painted                  %8.1f ms   ratio %.2f x floor\n' \
    "$refresh" "$(awk -v a="$refresh" -v b="$floor" 'BEGIN {print a / b}')"
printf '  shell: resident memory after start-up                 %8.1f MB\n' "$(awk -v k="${rss_kb:-0}" 'BEGIN {print k / 1024}')"
printf '  cleaner: 256 MB block touched                       %8.1f MB/s  memcpy %.1f MB/s, ratio %.2f\n' \
    "$cleaner" "$copy" "$(awk -v a="$cleaner" -v b="$copy" 'BEGIN {print (b > 0) ? a / b : 0}')"
[ -n "$cpu" ] && printf '  shell: CPU over 60 s idle with 14 windows open        %8s s   (%.2f%% of one core; goal under 1%%)\n' \
    "$cpu" "$(awk -v c="$cpu" 'BEGIN {print c / 60 * 100}')"
exit 0
