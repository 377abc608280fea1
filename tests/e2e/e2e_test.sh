#!/usr/bin/env bash
# End-to-end test of the tubebridge program. It starts the real executable on
# a private Xvfb display, from a temporary copy placed beside a prepared
# Tubebridge.dat, drives it with the keyboard only (xdotool: select-all and
# type into the fields, Tab to the buttons, Space to press them), and checks
# one case of each behaviour: the tab order and the settings file that "End"
# writes, a graph drawn by "Calculate", the error message of bad input, and
# another user's link at the settings file.
# The screen is checked for what any correct window shows, wherever the
# controls lie: patches and lines of the graph's exact colours.
#
# Usage: e2e_test.sh <tubebridge executable> [directory for failure artefacts]
# Exit status: 0 passed, 1 failed, 77 skipped (a needed X tool is missing).
set -euo pipefail

exe=${1:?usage: e2e_test.sh <tubebridge executable> [artefact directory]}
artefacts=${2:-$PWD}
# shellcheck source=../support/xserver.sh
source "$(cd "$(dirname "$0")" && pwd)/../support/xserver.sh"

skip_without Xvfb xdotool xwininfo xprop import convert awk cmp
[[ -x $exe ]] || {
    echo "FAIL: no executable at '$exe'"
    exit 1
}

readonly screen_w=1280 screen_h=1024
rm -rf "$artefacts/e2e-artefacts" # from an earlier failed run
work=$(mktemp -d "${TMPDIR:-/tmp}/tubebridge-e2e.XXXXXX")
app_dir=$work/app
mkdir -p "$app_dir" "$work/runtime"
chmod 700 "$work/runtime"
cp "$exe" "$app_dir/tubebridge"

# The window's place on the screen, set by read_window_geometry.
win_x=0 win_y=0 win_w=0 win_h=0

app_pid=""
watchdog_pid=""
main_win=""
scenario="setup"
start_ms=$(date +%s%3N)

now_ms() { date +%s%3N; }
log() { printf '[%6.2fs] %s\n' "$(awk -v t="$(($(now_ms) - start_ms))" 'BEGIN{print t/1000}')" "$*"; }
fail() {
    echo "FAIL [$scenario]: $*" >&2
    exit 1
}

# ---------------------------------------------------------------------------
# Clean-up: always stop the program and the X server we started, by their
# process ids, and keep what helps to diagnose a failure.
# ---------------------------------------------------------------------------
stop_app() {
    [[ -n $app_pid ]] || return 0
    if kill -0 "$app_pid" 2>/dev/null; then
        kill "$app_pid" 2>/dev/null || true
        local i
        for ((i = 0; i < 40; i++)); do
            kill -0 "$app_pid" 2>/dev/null || break
            sleep 0.05
        done
        kill -9 "$app_pid" 2>/dev/null || true
    fi
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
}

cleanup() {
    local rc=$?
    trap - EXIT INT TERM
    if ((rc != 0)) && [[ -n ${xserver_pid:-} ]] && kill -0 "$xserver_pid" 2>/dev/null; then
        import -window root "$work/at-failure.png" 2>/dev/null || true
    fi
    stop_app
    xserver_stop
    if [[ -n $watchdog_pid ]]; then
        kill "$watchdog_pid" 2>/dev/null || true
        wait "$watchdog_pid" 2>/dev/null || true
    fi
    if ((rc != 0)); then
        local keep=$artefacts/e2e-artefacts
        rm -rf "$keep"
        mkdir -p "$keep"
        find "$work" -maxdepth 1 -type f \( -name '*.png' -o -name '*.log' -o -name '*.dat' \
            -o -name '*.stderr' \) -exec cp {} "$keep/" \;
        echo "Artefacts (screenshots, program stderr, saved files) kept in $keep" >&2
        local f
        for f in "$work"/*.stderr; do
            [[ -s $f ]] || continue
            echo "--- $(basename "$f")" >&2
            tail -n 20 "$f" >&2
        done
    fi
    rm -rf "$work"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The private X server: the first free display from :90 on.
start_x() {
    xserver_start 90 149 "${screen_w}x${screen_h}" "$work/xvfb.log" ||
        fail "no free X display between :90 and :149"
    log "Xvfb up on $DISPLAY (pid $xserver_pid)"
}

# Should this script be killed outright, the X server (and with it the
# program) must not outlive it.
start_watchdog() {
    local parent=$$ xvfb=$xserver_pid
    (
        while kill -0 "$parent" 2>/dev/null; do sleep 1; done
        kill "$xvfb" 2>/dev/null
        wait_until 5 eval '! kill -0 "$xvfb" 2>/dev/null' || true
        rm -rf "$work"
    ) >/dev/null 2>&1 &
    watchdog_pid=$!
}

# ---------------------------------------------------------------------------
# Screenshots. A check looks for a rectangle of one exact colour anywhere in
# the window: a solid 9 x 9 patch of green is the clipping indicator (every
# line of the graph is one pixel wide), a white line 400 pixels long is the
# graph's frame (no field is that wide), and so on.
# ---------------------------------------------------------------------------
# shot <name>: the whole screen.
shot() {
    import -window root "$work/$1.png"
}
read_window_geometry() {
    local info
    info=$(xwininfo -id "$main_win")
    win_x=$(awk -F: '/Absolute upper-left X/ {print $2 + 0}' <<<"$info")
    win_y=$(awk -F: '/Absolute upper-left Y/ {print $2 + 0}' <<<"$info")
    win_w=$(awk -F: '/Width/ {print $2 + 0}' <<<"$info")
    win_h=$(awk -F: '/Height/ {print $2 + 0}' <<<"$info")
}
# has_patch <shot> <"r,g,b"> <WxH>: the window holds a W x H rectangle of
# exactly that colour.
has_patch() {
    patch_in "$work/$1.png" "$win_x" "$win_y" "$win_w" "$win_h" "$2" "$3"
}

# Checks of one screenshot collect their failures here, so that a poll can
# retry until the picture is complete and then report everything that is off.
pixel_problems=()
expect_patch() {
    has_patch "$1" "$2" "$3" || pixel_problems+=("$4: no $3 rectangle of rgb($2)")
}
expect_no_patch() {
    ! has_patch "$1" "$2" "$3" || pixel_problems+=("$4: a $3 rectangle of rgb($2) is there")
}
# poll_pixels <seconds> <check function> <shot name>: screenshots until the
# check finds nothing wrong; fails with its findings at the deadline.
poll_pixels() {
    local deadline=$(($(now_ms) + $1 * 1000))
    while :; do
        shot "$3"
        pixel_problems=()
        "$2" "$3"
        ((${#pixel_problems[@]} == 0)) && return 0
        (($(now_ms) < deadline)) || break
        sleep 0.05
    done
    printf '  %s\n' "${pixel_problems[@]}" >&2
    fail "the screen is not as expected after $1 s (screenshot $3.png)"
}

readonly BLACK="0,0,0" WHITE="255,255,255" GREY="136,136,136"
readonly RED="255,0,0" GREEN="0,255,0" BLUE="0,0,255"

# The first layout runs once the window's size has settled.
window_laid_out() {
    shot settle
    laid_out_in "$work/settle.png" "$win_x" "$win_y" "$win_w" "$win_h"
}

# ---------------------------------------------------------------------------
# The program: start, focus, keyboard, exit.
# ---------------------------------------------------------------------------
# write_settings <16 field texts>: the settings file, CR LF after each line.
write_settings() {
    (($# == 16)) || fail "write_settings needs 16 fields, got $#"
    printf '%s\r\n' "$@" >"$app_dir/Tubebridge.dat"
}

app_windows() {
    xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null || true
}
app_alive() { kill -0 "$app_pid" 2>/dev/null; }
main_window_up() {
    app_alive || return 0 # died: stop waiting, checked below
    main_win=$(app_windows | head -n 1)
    [[ -n $main_win ]]
}
focused_window() {
    # xdotool reports no number while the focus is PointerRoot.
    xdotool getwindowfocus 2>/dev/null || true
}
has_focus() { [[ $(focused_window) == "$1" ]]; }
# key_stamp: the time of the last key pressed in the main window, which the
# program writes into the window's _NET_WM_USER_TIME as it takes the key.
key_stamp() {
    { xprop -id "$main_win" _NET_WM_USER_TIME 2>/dev/null || true; } | awk '/= [0-9]+$/ {print $NF}'
}

# focus_window <id>: what a window manager does when the user clicks a window.
focus_window() {
    timeout 5 xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true
    wait_until 3 has_focus "$1" || fail "window $1 does not take the keyboard focus"
}

# launch <16 field texts>: prepare the settings file, start the program and
# wait until its window is laid out and has the keyboard.
launch() {
    write_settings "$@"
    start_app
}
start_app() {
    (
        cd /
        exec env -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS -u WAYLAND_DISPLAY \
            QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 LANG=C.UTF-8 XDG_RUNTIME_DIR="$work/runtime" \
            "$app_dir/tubebridge"
    ) >"$work/$scenario.stdout.log" 2>"$work/$scenario.stderr" &
    app_pid=$!
    wait_until 20 main_window_up || fail "the program's window did not appear"
    app_alive || fail "the program ended at start-up"
    read_window_geometry
    # Typing must not start before the first layout, or the whole-text
    # selection it makes would catch the typing.
    wait_until 10 window_laid_out || fail "the window was not laid out"
    # Keep the pointer off the window: no hover effects in the screenshots.
    xdotool mousemove "$((screen_w - 1))" "$((screen_h - 1))"
    focus_window "$main_win"
    log "window $main_win up: ${win_w}x${win_h}+${win_x}+${win_y}"
}

# tab_to_end <tabs>: Tab that many times, then press "End" with Space, and
# wait for the program to exit by itself.
tab_to_end() {
    local tabs=()
    local i
    for ((i = 0; i < $1; i++)); do tabs+=(Tab); done
    keys "${tabs[@]}" space
    wait_until 10 eval '! app_alive' ||
        fail "the program did not end after Tab x$1 and Space on \"End\""
    local rc=0
    wait "$app_pid" || rc=$?
    app_pid=""
    ((rc == 0)) || fail "the program ended with status $rc"
    cp "$app_dir/Tubebridge.dat" "$work/$scenario.saved.dat"
}

# expect_saved <16 field texts>: the settings file, byte for byte.
expect_saved() {
    printf '%s\r\n' "$@" >"$work/$scenario.expected.dat"
    if ! cmp -s "$work/$scenario.expected.dat" "$app_dir/Tubebridge.dat"; then
        echo "expected settings file (cat -A):" >&2
        cat -A "$work/$scenario.expected.dat" >&2
        echo "saved settings file (cat -A):" >&2
        cat -A "$app_dir/Tubebridge.dat" >&2
        fail "the saved settings file differs"
    fi
}
# saved_field <index>: one field of the saved settings file.
saved_field() {
    sed -n "$(($1 + 1))p" "$app_dir/Tubebridge.dat" | tr -d '\r'
}

# ---------------------------------------------------------------------------
# Scenarios.
# ---------------------------------------------------------------------------
# A prepared settings file: the first worked example, earlier results in the
# calculated-value fields, and the standard graph scales.
readonly BASE=(400 60 4000 200 50 11.111 22.222 33.333 0 360 7 5 -300 300 7 5)

start_x
start_watchdog

# Focus starts in field 0 and Tab walks 0-4, 8-15, 5-7, 16, "Calculate",
# "End": a distinct text typed at each stop lands in the right line of the
# file, the indicator's text is not saved, and "End" is the 18th stop.
scenario=tab-order
launch "${BASE[@]}"
marks=()
for f in "${TAB_ORDER[@]}"; do marks+=("$f=f$f"); done
fill_fields "${marks[@]}"
tab_to_end 1
expect_saved f0 f1 f2 f3 f4 f5 f6 f7 f8 f9 f10 f11 f12 f13 f14 f15
log "tab order and save: ok"

# A graph on the screen: black ground, the white frame, the three trace
# colours, the grey grid marks, and the green indicator of no clipping.
graph_checks() {
    expect_patch "$1" "$BLACK" 25x25 "the graph's ground"
    expect_patch "$1" "$WHITE" 400x1 "the frame's top or bottom line"
    expect_patch "$1" "$WHITE" 1x100 "the frame's left or right line"
    expect_patch "$1" "$RED" 30x1 "the load voltage's legend line"
    expect_patch "$1" "$GREEN" 30x1 "the V1 current's legend line"
    expect_patch "$1" "$BLUE" 30x1 "the V2 current's legend line"
    expect_patch "$1" "$GREY" 5x1 "a grid mark"
    expect_patch "$1" "$GREEN" 9x9 "the clipping indicator"
}

# The worked example with every field typed: "Calculate" draws the graph and
# writes three numbers into the calculated values, "End" saves them.
scenario=calculate
launch "${BASE[@]:0:8}" 1 2 3 4 5 6 7 8
fill_fields 0=400 1=60 2=4000 3=200 4=50 8=0 9=360 10=7 11=5 12=-300 13=300 14=7 15=5
keys space
poll_pixels 10 graph_checks "$scenario"
# "Calculate" hands the keyboard back to field 0: End is 18 stops away.
tab_to_end 18
results=("$(saved_field 5)" "$(saved_field 6)" "$(saved_field 7)")
for r in "${results[@]}"; do
    [[ $r =~ ^[0-9]+(\.[0-9]+)?$ ]] || fail "a calculated value was saved as '$r', not a number"
done
[[ ${results[*]} != "${BASE[*]:5:3}" ]] || fail "the calculated values are the old ones"
expect_saved 400 60 4000 200 50 "${results[@]}" 0 360 7 5 -300 300 7 5
log "$scenario: graph drawn, results ${results[*]} saved: ok"

# expect_message <key>: a message window appears after "Calculate"; the key
# dismisses it and the program goes on.
expect_message() {
    local box
    find_box() {
        box=$(app_windows | grep -vx "$main_win" | head -n 1)
        [[ -n $box ]] || ! app_alive
    }
    wait_until 10 find_box || fail "no message window appeared"
    app_alive || fail "the program ended instead of showing a message"
    log "message window $box: $(xdotool getwindowname "$box" 2>/dev/null || true)"
    # The program gives the message the keyboard itself; with no window
    # manager to do it, make sure.
    wait_until 1 has_focus "$box" || {
        log "note: the message did not take the keyboard by itself; focusing it"
        focus_window "$box"
    }
    keys "$1"
    box_gone() { ! app_windows | grep -qx "$box"; }
    wait_until 5 box_gone || fail "the message window stayed open after $1"
    # What the dismissal sets off in the program comes before its answer to a
    # key pressed afterwards: Shift, in the window, where it changes nothing.
    local stamp
    stamp=$(key_stamp)
    if app_alive && timeout 5 xdotool windowfocus --sync "$main_win" >/dev/null 2>&1; then
        keys shift
    fi
    key_answered() {
        local now
        now=$(key_stamp)
        [[ -n $now && $now != "$stamp" ]]
    }
    wait_until 10 eval 'key_answered || ! app_alive' || true
    app_alive || fail "the program ended after the message"
    key_answered || fail "the program took no key after the message"
    app_windows | grep -qx "$main_win" || fail "the main window is gone after the message"
    log "message dismissed with $1; the program goes on"
}

# A load of 0 ohms: the load current is 0 / 0 at the first sample. The
# indicator has turned green, no graph is drawn, and the fields stay as the
# user left them, the earlier results included.
after_division_in_sweep() {
    expect_patch "$1" "$GREEN" 9x9 "the clipping indicator"
    expect_no_patch "$1" "$RED" 30x1 "no graph, so no legend line"
}
scenario=bad-input
launch "${BASE[@]}"
fill_fields 2=0
keys space
expect_message Return
poll_pixels 5 after_division_in_sweep "$scenario"
# Back to the window, as the user would click it: the keyboard is still on
# "Calculate", so "End" is one Tab away.
focus_window "$main_win"
tab_to_end 1
expect_saved 400 60 0 200 50 11.111 22.222 33.333 0 360 7 5 -300 300 7 5
log "$scenario: message, fields saved as typed: ok"

# Another user's link at the settings file, in a shared folder (sticky, as
# /tmp is), pointing at a file of yours: told of at start and never
# followed; "End" puts the settings file in the link's place and leaves your
# file as it was. Only the superuser can make another user's link; CI runs
# as root.
scenario=foreign-link
if (($(id -u) == 0)); then
    printf 'yours\r\n' >"$work/yours.dat"
    rm -f "$app_dir/Tubebridge.dat"
    ln -s "$work/yours.dat" "$app_dir/Tubebridge.dat"
    chown -h daemon "$app_dir/Tubebridge.dat"
    chmod 1777 "$app_dir"
    start_app
    expect_message Return
    # Back to the window, its keyboard still in field 0.
    focus_window "$main_win"
    tab_to_end 18
    chmod 755 "$app_dir"
    cmp -s "$work/yours.dat" <(printf 'yours\r\n') || fail "the file the link led to was written"
    [[ ! -L $app_dir/Tubebridge.dat ]] || fail "the link is still there"
    expect_saved "" "" "" "" "" "" "" "" "" "" "" "" "" "" "" ""
    log "$scenario: told of at start, replaced by End, your file untouched: ok"
else
    log "$scenario: not run, another user's link needs the superuser to make"
fi

scenario=finished
log "PASS: all end-to-end scenarios"
