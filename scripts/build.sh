#!/usr/bin/env bash
# Installs what the build needs and builds a Release build into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

"$(dirname "$0")/install-deps.sh" \
    g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libxcb1-dev libbenchmark-dev fonts-liberation

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --parallel
