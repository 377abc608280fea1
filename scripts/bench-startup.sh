#!/usr/bin/env bash
# Times start-up to the first frame after the window's layout, with the peak
# memory until then, for the program and for a bare Qt program with the same
# controls, on a private Xvfb display (1920 x 1080, the first free one from
# :300 to :349) under the openbox window manager, which maximises a window as
# it maps it. Ten repetitions of 20 starts each, the two programs interleaved
# at random so that a busy moment of the machine does not fall on one of
# them; extra arguments go to Google Benchmark and override these.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh xvfb x11-utils openbox
scripts/build.sh
source tests/support/xserver.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/tubebridge-startup.XXXXXX")
wm_pid=""
cleanup() {
    [[ -n $wm_pid ]] && kill "$wm_pid" 2>/dev/null
    xserver_stop
    rm -rf "$work"
}
trap cleanup EXIT

xserver_start 300 349 1920x1080 "$work/xvfb.log" || {
    echo "no free X display between :300 and :349" >&2
    exit 1
}
HOME=$work openbox --config-file /dev/null >"$work/openbox.log" 2>&1 &
wm_pid=$!
wait_until 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' || {
    echo "openbox did not start" >&2
    exit 1
}

mkdir -m 700 "$work/runtime"
QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" build/bench/tubebridge_startup_bench \
    --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true "$@"
