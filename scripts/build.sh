#!/usr/bin/env bash
# Installs what the build needs and makes a Release build in build/: every
# target, or only those named (scripts/build.sh tubebridge builds the program
# alone). Google Benchmark is installed for the whole build only.
#
#   scripts/build.sh [target...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libxcb1-dev fonts-liberation)
(($# > 0)) || packages+=(libbenchmark-dev)
scripts/install-deps.sh "${packages[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build --parallel "${targets[@]}"
