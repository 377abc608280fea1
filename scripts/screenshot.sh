#!/usr/bin/env bash
# Makes the README's picture, docs/main-window.png, from the real program: a
# first run (the worked example in the fields) on a private 1920 x 1080 Xvfb
# display under openbox, "Calculate" pressed from the keyboard, the window's
# client area captured once the graph stands. The picture is committed: run
# this after a change to what the window shows, and commit it with the change.
#
#   scripts/screenshot.sh [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/main-window.png}")
scripts/install-deps.sh xvfb xdotool x11-utils imagemagick openbox
scripts/build.sh >/dev/null
source tests/support/xserver.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/tubebridge-screenshot.XXXXXX")
app_pid=""
cleanup() {
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
    desktop_stop
    xserver_stop
    rm -rf "$work"
}
trap cleanup EXIT

xserver_start 350 399 1920x1080 "$work/xvfb.log" || {
    echo "no free X display between :350 and :399" >&2
    exit 1
}
desktop_start openbox "$work"
# A copy of its own, so that no settings file is beside it: a first run.
mkdir "$work/app"
cp build/tubebridge "$work/app/"
desktop_launch "$work/app.log" env LC_ALL=C.UTF-8 "$work/app/tubebridge"
main=$(desktop_windows | sed -n 1p)
laid_out() {
    read -r wx wy ww wh <<<"$(desktop_geometry "$main")"
    import -window root "$work/shot.png"
    laid_out_in "$work/shot.png" "$wx" "$wy" "$ww" "$wh"
}
wait_until 10 laid_out
xdotool mousemove 1919 1079
# From field 0 the seventeenth stop after it is "Calculate".
xdotool key --delay 20 $(printf 'Tab %.0s' $(seq 17)) space
# Drawn once the graph's red legend line stands.
drawn() {
    import -window root "$work/shot.png"
    patch_in "$work/shot.png" "$wx" "$wy" "$ww" "$wh" 255,0,0 30x1
}
wait_until 10 drawn
sleep 0.5
mkdir -p "$(dirname "$out")"
import -window root -crop "${ww}x${wh}+${wx}+${wy}" +repage -strip "$out"
echo "wrote $out (${ww}x${wh})"
