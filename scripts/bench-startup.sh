#!/usr/bin/env bash
# Times start-up to the first shown window, for the program and for a bare Qt
# window started the same way, on a private Xvfb display (no window manager).
# Ten repetitions of 20 starts each, the three programs interleaved at random
# so that a busy moment of the machine does not fall on one of them; extra
# arguments go to Google Benchmark and override these.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh xvfb x11-utils
scripts/build.sh

for ((n = 200; n < 260; n++)); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] || break
done
Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for ((i = 0; i < 100; i++)); do
    xwininfo -display ":$n" -root >/dev/null 2>&1 && break
    sleep 0.05
done

runtime=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$runtime"' EXIT
DISPLAY=":$n" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$runtime" build/bench/tubebridge_startup_bench \
    --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true "$@"
