#!/usr/bin/env bash
# One command from a fresh clone: install what is missing, build the program
# (no tests, no benchmarks), start it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh tubebridge
# Qt's Wayland plugin, so that a Wayland desktop runs it natively.
scripts/install-deps.sh qt6-wayland
exec build/tubebridge
