#!/usr/bin/env bash
# Cross-builds the program for 64-bit Windows into build-windows/ with
# Debian's MinGW-w64 and a Qt made from Debian's own qt6-base source package
# (scripts/windows-qt.sh: built once, about 20 to 30 minutes, then taken from
# its cache folder). With --package it then makes the installer
# (Tubebridge-<version>-setup.exe) and the portable zip
# (Tubebridge-<version>-win64.zip) in build-windows/ with CPack and NSIS.
# scripts/test-windows.sh runs the tests.
#
#   scripts/build-windows.sh [--package]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-windows

"$root/scripts/install-deps.sh" cmake ninja-build qt6-base-dev qt6-base-dev-tools \
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev \
    wine wine64 fonts-wine fonts-liberation imagemagick nsis
"$root/scripts/windows-qt.sh"
qt=$("$root/scripts/windows-qt.sh" --prefix)

# Qt's own toolchain file finds that Qt and Debian's host tools (moc, rcc,
# uic: the same 6.4.2) and loads ours for the compilers and Wine, which
# CTest runs the tests with.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DTUBEBRIDGE_BUILD_BENCHMARKS=OFF
cmake --build "$build" --parallel 2

if [ "${1:-}" = --package ]; then
    (cd "$build" && cpack)
fi
