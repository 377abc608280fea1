#!/usr/bin/env bash
# Designs kept as files (tubebridge [FILE]) on a private Xvfb display, driven
# with the keyboard, in a folder whose name has a blank and a letter beyond
# ASCII, beside a settings file that must stay as it was: two windows, an
# existing design (started with Qt's own options) and a new one (the worked
# example, its name in the title bar), each saved to its own file; one design
# in two windows, the last "End" whole; a field of 600 000 characters saved
# whole; each bad argument, a text that is not a design too, refused (its line on
# standard error and in a message, status 2, nothing written); --help and
# --version without a display; the File menu with the keyboard alone.
#
# Usage: design_test.sh <tubebridge executable> <version>
# Exit status: 0 passed, 1 failed, 77 skipped (a needed X tool is missing).
set -euo pipefail
exe=${1:?usage: design_test.sh <tubebridge executable> <version>}
version=${2:?}
# shellcheck source=../support/xserver.sh
source "$(cd "$(dirname "$0")" && pwd)/../support/xserver.sh"
skip_without Xvfb xdotool xwininfo xprop import convert cmp

work=$(mktemp -d "${TMPDIR:-/tmp}/tubebridge-design.XXXXXX")
files=$work/files # all that the program may write
app=$files/app designs="$files/my designs ü"
mkdir -p "$app" "$designs" "$work/runtime" "$work/logs"
chmod 700 "$work/runtime"
cp "$exe" "$app/tubebridge"
printf '%s\r\n' {1..16} | tee "$work/settings.before" >"$app/Tubebridge.dat"
scenario=setup
fail() {
    echo "FAIL [$scenario]: $*" >&2
    tail -n 5 "$work"/logs/* >&2 2>/dev/null || true
    exit 1
}
end_on_exit "$work"
xserver_start 200 249 1280x1024 "$work/xvfb.log" || fail "no free X display between :200 and :249"

readonly BASE=(400 60 4000 200 50 11.111 22.222 33.333 0 360 7 5 -300 300 7 5)
readonly FIRST_RUN=(400 60 4000 200 50 "" "" "" 0 360 7 5 -300 300 7 5)
expect_file() {
    cmp -s <(printf '%s\r\n' "${@:2}") "$1" || fail "$1 holds: $(cat -A "$1" 2>&1 | paste -sd ' ')"
}
# start <name> <arguments...>: the program, its window found and laid out;
# sets pid_<name> and win_<name>. QT_QPA_PLATFORM is $platform, or xcb.
start() {
    local name=$1 pid win geometry
    shift
    (cd / && exec env -u WAYLAND_DISPLAY QT_QPA_PLATFORM="${platform:-xcb}" LC_ALL=C.UTF-8 \
        XDG_RUNTIME_DIR="$work/runtime" "$app/tubebridge" "$@") 2>"$work/logs/$name.err" &
    pid=$!
    note_started "$pid"
    found() { win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) && [[ -n $win ]]; }
    wait_until 20 found || fail "no window for $name"
    geometry=$(xwininfo -id "$win" | awk -F: '/Absolute upper-left [XY]|Width|Height/ {printf "%d ", $2}')
    # shellcheck disable=SC2086 # x y width height
    laid_out() { import -window root "$work/shot.png" && laid_out_in "$work/shot.png" $geometry; }
    wait_until 10 laid_out || fail "the window for $name was not laid out"
    printf -v "pid_$name" %s "$pid"
    printf -v "win_$name" %s "$win"
}
# type_and_end <name> [text]: the text typed into field 0, where the
# keyboard is at start, then "End", 18 Tab stops on; the program ends well.
type_and_end() {
    local win="win_$1" pid="pid_$1" status=0
    xdotool windowfocus --sync "${!win}"
    [[ -z ${2:-} ]] || set_field "$2"
    # shellcheck disable=SC2046 # eighteen words
    keys $(printf 'Tab %.0s' {1..18}) space
    wait_until 10 eval "! kill -0 ${!pid} 2>/dev/null" || fail "$1 did not end on \"End\""
    wait "${!pid}" || status=$?
    ((status == 0)) || fail "$1 ended with status $status"
}

scenario=side-by-side
a="$designs/a.tubebridge" new="$designs/new design é.tubebridge"
printf '%s\r\n' "${BASE[@]}" >"$a"
platform=offscreen start a -platform xcb -style fusion "$a" # Qt's option wins
start new "$new"
title=$(LC_ALL=C.UTF-8 xprop -id "$win_new" _NET_WM_NAME | sed -n 's/^[^"]*"\(.*\)"$/\1/p')
[[ $title == "new design é.tubebridge - Tubebridge" ]] || fail "the title bar says '$title'"
[[ ! -e $new ]] || fail "the new design was made before \"End\""
type_and_end new
type_and_end a 500
expect_file "$new" "${FIRST_RUN[@]}"
expect_file "$a" 500 "${BASE[@]:1}"

scenario=one-design-twice
start first "$a"
start second "$a"
type_and_end first 1
expect_file "$a" 1 "${BASE[@]:1}"
type_and_end second 2
expect_file "$a" 2 "${BASE[@]:1}"
cmp -s "$work/settings.before" "$app/Tubebridge.dat" || fail "a design touched the settings file"

scenario=menus-by-keyboard # Save Design As by Alt+F, another design by Ctrl+O
printf '%s\r\n' "${BASE[@]}" >"$designs/b.tubebridge"
start menus
shown() { found=$(xdotool search --onlyvisible --name "$1" | head -n 1) && [[ -n $found ]]; }
in_dialog() { # <title> <path>: the path typed into that file dialog
    wait_until 10 shown "^$1\$" || fail "no \"$1\" dialog"
    xdotool windowfocus --sync "$found" type --delay 15 "$2"
    keys Return
}
xdotool windowfocus --sync "$win_menus"
keys alt+f a
in_dialog "Save Design As" "$designs/kept"
wait_until 10 test -e "$designs/kept.tubebridge" || fail "Save Design As wrote nothing"
xdotool windowfocus --sync "$win_menus" key ctrl+o
in_dialog "Open Design" "$designs/b.tubebridge"
wait_until 10 shown "^b.tubebridge - Tubebridge\$" || fail "Ctrl+O opened no window for b"
xdotool windowfocus --sync "$found" key ctrl+q
type_and_end menus 7
expect_file "$designs/kept.tubebridge" 7 {2..16}
expect_file "$designs/b.tubebridge" "${BASE[@]}"
cmp -s "$work/settings.before" "$app/Tubebridge.dat" || fail "the settings file was written"

scenario=long-field
long="$designs/long.tubebridge"
{ printf '%.0s0123456789' {1..60000}; printf '\r\n'; printf '%s\r\n' "${BASE[@]:1}"; } | tee "$work/long.before" >"$long"
start long "$long"
type_and_end long
cmp -s "$work/long.before" "$long" || fail "the design with a field of 600 000 characters came back as $(wc -c <"$long") bytes"

scenario=bad-arguments
mkfifo "$files/pipe"
printf 'note %s\n' {1..30} >"$designs/notes.txt"
socket=/tmp/.X11-unix/X${DISPLAY#:}
tree() { find "$files" -printf '%p %s %T@\n' | sort; }
tree >"$work/tree.before"
# refused <expected line> <arguments...>: its message dismissed, status 2.
refused() {
    local expected=$1 pid box status=0
    shift
    (cd / && exec env QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" "$app/tubebridge" "$@") \
        2>"$work/logs/refused.err" &
    pid=$!
    note_started "$pid"
    dialog() { box=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) && [[ -n $box ]]; }
    wait_until 20 dialog || fail "no message for: $*"
    xdotool windowfocus --sync "$box" key Return
    wait_until 10 eval "! kill -0 $pid 2>/dev/null" || fail "still running after the message for: $*"
    wait "$pid" || status=$?
    ((status == 2)) || fail "exit status $status, not 2, for: $*"
    [[ $(<"$work/logs/refused.err") == "$expected" ]] || fail "for $*: $(<"$work/logs/refused.err")"
}
refused "Tubebridge cannot open \"$designs\": it is a folder, not a design file." "$designs"
refused 'Tubebridge cannot open "/dev/null": it is a device, not a design file.' /dev/null
refused "Tubebridge cannot open \"$files/pipe\": it is a named pipe, not a design file." "$files/pipe"
refused "Tubebridge cannot open \"$socket\": it is a socket, not a design file." "$socket"
refused "Tubebridge opens one design at a time, and was given a second file, \"$new\". Start it once for each design." "$a" "$new"
refused 'Tubebridge does not know the option "--bogus" (tubebridge --help lists its options).' --bogus "$a"
refused 'Tubebridge cannot open "": a file'"'"'s name cannot be empty.' ""
refused "$designs/notes.txt is not a Tubebridge design: it has 30 lines" "$designs/notes.txt"
without_display() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$app/tubebridge" "$@"; }
status=0
without_display "$designs" 2>"$work/logs/no-display.err" || status=$?
[[ $status == 2 && $(<"$work/logs/no-display.err") == "Tubebridge cannot open \"$designs\": it is a folder, not a design file." ]] ||
    fail "without a display: status $status, $(<"$work/logs/no-display.err")"
tree | cmp -s "$work/tree.before" - || fail "a refused start wrote: $(tree | diff "$work/tree.before" -)"

scenario=help-and-version
[[ $(without_display --help) == *"Usage: $app/tubebridge [options] [FILE]"* ]] || fail "--help: $(without_display --help)"
[[ $(without_display -platform xcb --version) == "tubebridge $version" ]] || fail "--version: $(without_display --version)"
echo "PASS: side by side, one design twice, the menus by keyboard, a long field, bad arguments, help and version"
