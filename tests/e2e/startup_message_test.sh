#!/usr/bin/env bash
# The start-up message about a settings file that cannot be read, as a user
# meets it under a window manager (openbox): the real program, started beside
# a folder named Tubebridge.dat, shows the message once its window is laid
# out, centred on the window; a click on the window neither hides the message
# nor takes the keyboard from it; Return dismisses it; then typing reaches the
# fields, "End" says the name is a folder, and once the folder is gone "End"
# saves what was typed.
#
# Usage: startup_message_test.sh <tubebridge executable>
# Exit status: 0 passed, 1 failed, 77 skipped (a needed X tool is missing).
set -euo pipefail

exe=${1:?usage: startup_message_test.sh <tubebridge executable>}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../support/xserver.sh
source "$here/../support/xserver.sh"

skip_without Xvfb openbox xdotool xwininfo xprop

work=$(mktemp -d "${TMPDIR:-/tmp}/tubebridge-message.XXXXXX")
app_pid="" wm_pid=""
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
cleanup() {
    local rc=$?
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
    [[ -n $wm_pid ]] && kill "$wm_pid" 2>/dev/null
    xserver_stop
    rm -rf "$work"
    exit "$rc"
}
trap cleanup EXIT

mkdir -p "$work/app/Tubebridge.dat" "$work/runtime"
chmod 700 "$work/runtime"
cp "$exe" "$work/app/tubebridge"
xserver_start 200 249 1280x1024 "$work/xvfb.log" || fail "no free X display between :200 and :249"
HOME=$work openbox --config-file /dev/null >"$work/openbox.log" 2>&1 &
wm_pid=$!
wait_until 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
    fail "openbox did not start"

XDG_RUNTIME_DIR=$work/runtime "$work/app/tubebridge" >"$work/program.log" 2>&1 &
app_pid=$!

# window_list: the program's visible windows, bottom to top.
window_list() {
    local stacking mine
    stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
    mine=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null || true)
    for w in $stacking; do
        if grep -qx "$((w))" <<<"$mine"; then echo "$((w))"; fi
    done
}
two_windows() { [[ $(window_list | wc -l) -eq 2 ]]; }
# geometry <window>: "x y width height" of its client area on the screen.
geometry() {
    xwininfo -id "$1" | awk -F: '/Absolute upper-left X/ {x = $2 + 0}
        /Absolute upper-left Y/ {y = $2 + 0} /Width/ {w = $2 + 0} /Height/ {h = $2 + 0}
        END {print x, y, w, h}'
}
focused() { [[ $(xdotool getwindowfocus) == "$1" ]]; }

wait_until 20 two_windows || fail "no start-up message over the window: $(cat "$work/program.log")"
read -r main message <<<"$(window_list | tr '\n' ' ')"
read -r mx my mw mh <<<"$(geometry "$main")"
read -r bx by bw bh <<<"$(geometry "$message")"
((mw > 1000 && mh > 900)) || fail "the window is not maximised: ${mw}x${mh}"
dx=$(((2 * bx + bw) - (2 * mx + mw))) dy=$(((2 * by + bh) - (2 * my + mh)))
((dx >= -4 && dx <= 4 && dy >= -4 && dy <= 4)) ||
    fail "the message is not centred on the window (centres differ by $((dx / 2)), $((dy / 2)))"
wait_until 5 focused "$message" || fail "the message does not have the keyboard"

# A click on a field of the window, well away from the message.
xdotool mousemove $((mx + mw * 9 / 10)) $((my + mh / 10)) click 1
sleep 0.5
[[ $(window_list | tail -n 1) == "$message" ]] || fail "the click put the window above the message"
wait_until 5 focused "$message" || fail "the click took the keyboard from the message"
xdotool key Return
wait_until 5 eval '[[ $(window_list | wc -l) -eq 1 ]]' || fail "Return did not dismiss the message"

# The keyboard is back in the first field; "End" is 18 tabs on.
xdotool type --delay 20 123
xdotool key --delay 15 $(printf 'Tab %.0s' {1..18}) space
wait_until 5 two_windows || fail "'End' beside a folder named Tubebridge.dat said nothing"
read -r _ message <<<"$(window_list | tr '\n' ' ')"
wait_until 5 focused "$message" || fail "the message from 'End' does not have the keyboard"
xdotool key Return
wait_until 5 eval '[[ $(window_list | wc -l) -eq 1 ]]' || fail "Return did not dismiss the message"
rmdir "$work/app/Tubebridge.dat"
xdotool key space
wait_until 10 eval '! kill -0 "$app_pid" 2>/dev/null' || fail "'End' did not save and end the program"
app_pid=""
[[ $(head -n 1 "$work/app/Tubebridge.dat") == $'123\r' ]] ||
    fail "the typed text did not reach the settings file: $(head -c 80 "$work/app/Tubebridge.dat" | od -c)"
echo "start-up message: centred, kept above and focused after a click, then typing and End work"
