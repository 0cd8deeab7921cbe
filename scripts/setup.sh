#!/usr/bin/env bash
# Installs what building, running and testing the shell need, from Debian's
# packages. Idempotent: a second run finds everything and does nothing.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi

for p in cmake make mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
         binutils-mingw-w64-i686 wine wine32 wine64 fonts-wine fonts-liberation xvfb \
         xdotool x11vnc imagemagick googletest util-linux ffmpeg \
         gstreamer1.0-plugins-good:i386 "gstreamer1.0-plugins-good:$(dpkg --print-architecture)" \
         libasound2-plugins:i386 \
         nsis zip unzip python3; do
    have_pkg "$p" || need+=("$p")
done

if [ "${#need[@]}" -gt 0 ]; then
    echo "setup: installing ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    # A mirror in mid-sync fails an update now and then; older lists still serve.
    for i in 1 2 3; do apt-get update -qq && break; sleep 5; done || true
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
exit 0
