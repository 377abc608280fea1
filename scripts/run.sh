#!/usr/bin/env bash
# One command from a fresh clone: install what is missing, build, start.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
exec build/tubebridge
