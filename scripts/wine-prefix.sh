#!/usr/bin/env bash
# The Wine prefix the Windows build's tests run in, and its session.
#
#   scripts/wine-prefix.sh <folder>          makes the prefix unless made, and
#                                            starts its Wine session
#   scripts/wine-prefix.sh <folder> --stop   ends that session
#
# Wine's own fonts (fonts-wine) go into its windows/Fonts, where Wine 8 does
# not put them by itself, and Debian's Liberation Mono stands in for Courier
# New, the window's font, which Windows has and Wine has not. The session
# (wineserver and Wine's services) is started here, away from CTest's output
# pipes: started by a test, it would hold them open and CTest would wait for
# it to end.
set -euo pipefail
prefix=$1
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX=$prefix WINEDEBUG=-all
# No offer to fetch Wine's Mono and Gecko: nothing is downloaded. No menu
# entries on this machine for programs installed into the prefix.
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'

if [ "${2:-}" = --stop ]; then
    "$wineserver" -k 2>/dev/null || true
    exit 0
fi

ready=$prefix/tubebridge-prefix-ready
if [ ! -f "$ready" ]; then
    rm -rf "$prefix"
    mkdir -p "$prefix"
    "$wine" wineboot --init </dev/null >/dev/null 2>&1
    "$wineserver" -w
    cp /usr/share/wine/fonts/*.ttf /usr/share/fonts/truetype/liberation/LiberationMono-*.ttf \
        "$prefix/drive_c/windows/Fonts/"
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' \
        /d 'Liberation Mono' /f </dev/null >/dev/null 2>&1
    "$wineserver" -w
    touch "$ready"
fi
# Kept for a minute after the last program ends, unless stopped before.
"$wineserver" -p60 </dev/null >/dev/null 2>&1
"$wine" cmd /c exit </dev/null >/dev/null 2>&1
