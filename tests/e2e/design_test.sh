#!/usr/bin/env bash
# Designs kept as files: tubebridge [FILE], end to end on a private Xvfb
# display, driven with the keyboard (xdotool). All designs lie in a folder
# whose name has a blank and a letter beyond ASCII; a settings file lies
# beside the program, and must stay as it was, byte for byte:
#
# - a new name starts with the worked example, the title bar names it, and
#   "End" creates the file;
# - an existing design is read and saved back, with Qt's own options on the
#   command line (-platform xcb over QT_QPA_PLATFORM=offscreen, -style);
# - two windows on two designs, each saved to its own file;
# - two windows on one design: the last "End" wins, the file whole;
# - each bad argument: its line on standard error, a message window, exit
#   status 2 and nothing written; without a display the line alone;
# - --help and --version without a display.
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
files=$work/files # all the program may write, and nothing else
app=$files/app
designs="$files/my designs ü"
mkdir -p "$app" "$designs" "$work/runtime" "$work/logs"
chmod 700 "$work/runtime"
cp "$exe" "$app/tubebridge"
printf '%s\r\n' 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 >"$app/Tubebridge.dat"
cp "$app/Tubebridge.dat" "$work/settings.before"

scenario=setup
fail() {
    echo "FAIL [$scenario]: $*" >&2
    tail -n 5 "$work"/logs/* >&2 2>/dev/null || true
    exit 1
}
cleanup() {
    local rc=$?
    trap - EXIT INT TERM
    local pid
    for pid in $(jobs -p); do kill "$pid" 2>/dev/null || true; done
    xserver_stop
    stop_guard
    rm -rf "$work"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
guard_started "$work"
xserver_start 200 249 1280x1024 "$work/xvfb.log" || fail "no free X display between :200 and :249"

readonly BASE=(400 60 4000 200 50 11.111 22.222 33.333 0 360 7 5 -300 300 7 5)
readonly FIRST_RUN=(400 60 4000 200 50 "" "" "" 0 360 7 5 -300 300 7 5)
# write_design <file> <16 fields>; expect_file <file> <16 fields>: byte for byte.
write_design() { printf '%s\r\n' "${@:2}" >"$1"; }
expect_file() {
    cmp -s <(printf '%s\r\n' "${@:2}") "$1" ||
        fail "$1 is not as expected: $(cat -A "$1" 2>&1 | paste -sd ' ')"
}

# start <name> <arguments...>: the program from its own folder, its window
# found, laid out and given the keyboard; sets pid_<name> and win_<name>.
start() {
    local name=$1 pid win geometry
    shift
    (cd / && exec env -u WAYLAND_DISPLAY QT_QPA_PLATFORM="${platform:-xcb}" LC_ALL=C.UTF-8 \
        XDG_RUNTIME_DIR="$work/runtime" "$app/tubebridge" "$@") \
        >"$work/logs/$name.out" 2>"$work/logs/$name.err" &
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
# type_into_field_0 <name> <text>: where the keyboard is after the start.
type_into_field_0() {
    local win="win_$1"
    xdotool windowfocus --sync "${!win}"
    set_field "$2"
}
# end <name>: "End", 18 Tab stops from field 0, then the program must end well.
end() {
    local win="win_$1" pid="pid_$1" status=0
    xdotool windowfocus --sync "${!win}"
    # shellcheck disable=SC2046 # eighteen words
    keys $(printf 'Tab %.0s' {1..18}) space
    wait_until 10 eval "! kill -0 ${!pid} 2>/dev/null" || fail "$1 did not end on \"End\""
    wait "${!pid}" || status=$?
    ((status == 0)) || fail "$1 ended with status $status"
}
title_of() { LC_ALL=C.UTF-8 xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
settings_untouched() {
    cmp -s "$work/settings.before" "$app/Tubebridge.dat" || fail "the settings file was touched"
}

scenario=new-name
new="$designs/new design é.tubebridge"
start new "$new"
[[ $(title_of "$win_new") == "new design é.tubebridge - Tubebridge" ]] ||
    fail "the title bar says '$(title_of "$win_new")'"
[[ ! -e $new ]] || fail "the design was made before \"End\""
end new
expect_file "$new" "${FIRST_RUN[@]}"
settings_untouched

scenario=existing
a="$designs/a.tubebridge"
write_design "$a" "${BASE[@]}"
platform=offscreen start a -platform xcb -style fusion "$a"
type_into_field_0 a 500
end a
expect_file "$a" 500 "${BASE[@]:1}"
settings_untouched

scenario=side-by-side
b="$designs/b.tubebridge"
start a "$a"
start b "$b"
type_into_field_0 a 111
type_into_field_0 b 222
end b
end a
expect_file "$a" 111 "${BASE[@]:1}"
expect_file "$b" 222 "${FIRST_RUN[@]:1}"
settings_untouched

scenario=one-design-twice
start first "$a"
start second "$a"
type_into_field_0 first 1
type_into_field_0 second 2
end first
expect_file "$a" 1 "${BASE[@]:1}"
end second
expect_file "$a" 2 "${BASE[@]:1}"
settings_untouched

scenario=bad-arguments
mkfifo "$files/pipe"
socket=/tmp/.X11-unix/X${DISPLAY#:}
[[ -S $socket ]] || fail "no socket at $socket"
tree() { find "$files" -printf '%p %s %T@\n' | sort; }
tree >"$work/tree.before"
# refused <expected line> <arguments...>
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
    [[ $(cat "$work/logs/refused.err") == "$expected" ]] ||
        fail "for $*, standard error says: $(cat "$work/logs/refused.err")"
}
refused "Tubebridge cannot open \"$designs\": it is a folder, not a design file." "$designs"
refused 'Tubebridge cannot open "/dev/null": it is a device, not a design file.' /dev/null
refused "Tubebridge cannot open \"$files/pipe\": it is a named pipe, not a design file." "$files/pipe"
refused "Tubebridge cannot open \"$socket\": it is a socket, not a design file." "$socket"
refused "Tubebridge opens one design at a time, and was given a second file, \"$b\". Start it once for each design." "$a" "$b"
refused 'Tubebridge does not know the option "--bogus" (tubebridge --help lists its options).' --bogus "$a"
refused 'Tubebridge cannot open "": a file'"'"'s name cannot be empty.' ""
status=0
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$app/tubebridge" "$designs" 2>"$work/logs/no-display.err" || status=$?
((status == 2)) || fail "without a display: exit status $status, not 2"
[[ $(cat "$work/logs/no-display.err") == "Tubebridge cannot open \"$designs\": it is a folder, not a design file." ]] ||
    fail "without a display, standard error says: $(cat "$work/logs/no-display.err")"
tree | cmp -s "$work/tree.before" - || fail "a refused start wrote: $(tree | diff "$work/tree.before" -)"
settings_untouched

scenario=help-and-version
help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$app/tubebridge" --help) || fail "--help ended with status $?"
[[ $help == *"Usage: $app/tubebridge [options] [FILE]"* ]] || fail "--help says: $help"
[[ $(env -u DISPLAY -u WAYLAND_DISPLAY "$app/tubebridge" -platform xcb --version) == "tubebridge $version" ]] ||
    fail "--version does not say 'tubebridge $version'"

scenario=finished
echo "PASS: new, existing, side by side, one design twice, bad arguments, help and version"
