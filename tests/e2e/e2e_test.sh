#!/usr/bin/env bash
# End-to-end test of the tubebridge program. It starts the real executable on
# a private Xvfb display, from a temporary copy placed beside a prepared
# Tubebridge.dat, drives it with the keyboard only (xdotool: select-all and
# type into the fields, Tab to the buttons, Space to press them), and checks
# the settings file that "End" writes, the error messages of bad input and
# pixels of the graph that do not depend on the font.
#
# Usage: e2e_test.sh <tubebridge executable> [directory for failure artefacts]
# Exit status: 0 passed, 1 failed, 77 skipped (a needed X tool is missing).
set -euo pipefail

exe=${1:?usage: e2e_test.sh <tubebridge executable> [artefact directory]}
artefacts=${2:-$PWD}

for tool in Xvfb xdotool xwininfo import convert od awk cmp; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: '$tool' is not installed (scripts/test.sh installs xvfb, xdotool," \
            "x11-utils and imagemagick)"
        exit 77
    fi
done
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

# Window and graph geometry, set by read_window_geometry and compute_geometry.
win_x=0 win_y=0 win_w=0 win_h=0 box_x=0 box_y=0 box_w=0 box_h=0 box_left=0 box_top=0
indicator_x=0 indicator_y=0 plot_left=0 plot_bottom=0 frame_x=0 frame_y=0
legend_x=0 legend_y1=0 legend_y2=0 legend_y3=0 ground_x=0 ground_y=0
expected_indicator=""

app_pid=""
xvfb_pid=""
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
    if ((rc != 0)) && [[ -n $xvfb_pid ]] && kill -0 "$xvfb_pid" 2>/dev/null; then
        import -window root "$work/at-failure.png" 2>/dev/null || true
    fi
    stop_app
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
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

# wait_until <seconds> <command...>: polls the command until it succeeds.
wait_until() {
    local deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@"; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.05
    done
}

# ---------------------------------------------------------------------------
# The private X server: the first free display from :90 on.
# ---------------------------------------------------------------------------
start_x() {
    local n
    for ((n = 90; n < 150; n++)); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp -noreset \
            >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        if wait_until 10 x_ready "$n" && owns_display "$n"; then
            export DISPLAY=":$n"
            log "Xvfb up on $DISPLAY (pid $xvfb_pid)"
            return 0
        fi
        # Lost the race for this display to someone else, or it would not start.
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    done
    fail "no free X display between :90 and :149"
}
# The display is ours when the server holding its lock file is the one we
# started (another one may have taken the number a moment earlier).
owns_display() {
    local holder=""
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    read -r holder <"/tmp/.X$1-lock" 2>/dev/null || return 1
    [[ $holder == "$xvfb_pid" ]]
}
x_ready() {
    kill -0 "$xvfb_pid" 2>/dev/null || return 0 # died: stop waiting
    owns_display "$1" && xwininfo -display ":$1" -root >/dev/null 2>&1
}

# Should this script be killed outright, the X server (and with it the
# program) must not outlive it.
start_watchdog() {
    local parent=$$ xvfb=$xvfb_pid
    (
        while kill -0 "$parent" 2>/dev/null; do sleep 1; done
        kill "$xvfb" 2>/dev/null
        sleep 1
        rm -rf "$work"
    ) >/dev/null 2>&1 &
    watchdog_pid=$!
}

# ---------------------------------------------------------------------------
# Screenshots and pixels.
# ---------------------------------------------------------------------------
# shot <name>: the whole screen as raw 8-bit RGB.
shot() {
    import -window root -depth 8 "rgb:$work/$1.rgb"
}
# keep_png <name>: a PNG copy of a screenshot for the artefacts.
keep_png() {
    convert -size "${screen_w}x${screen_h}" -depth 8 "rgb:$work/$1.rgb" "$work/$1.png" || true
}
# pixel <name> <x> <y>: "r g b" of a screen pixel.
pixel() {
    od -An -tu1 -j $((($3 * screen_w + $2) * 3)) -N3 "$work/$1.rgb" | awk '{print $1, $2, $3}'
}

# Checks of one screenshot collect their failures here, so that a poll can
# retry until the picture is complete and then report everything that is off.
pixel_problems=()
# expect_pixel <shot> <box x> <box y> <"r g b"> <what>: a pixel inside the graph box.
expect_pixel() {
    local x=$((box_left + $2)) y=$((box_top + $3)) got
    got=$(pixel "$1" "$x" "$y")
    [[ $got == "$4" ]] ||
        pixel_problems+=("$5 at box ($2,$3) = screen ($x,$y): expected rgb($4), got rgb($got)")
}
# expect_screen_pixel <shot> <x> <y> <"r g b"> <what>: a pixel of the window.
expect_screen_pixel() {
    local x=$((win_x + $2)) y=$((win_y + $3)) got
    got=$(pixel "$1" "$x" "$y")
    [[ $got == "$4" ]] ||
        pixel_problems+=("$5 at window ($2,$3): expected rgb($4), got rgb($got)")
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
    keep_png "$3"
    printf '  %s\n' "${pixel_problems[@]}" >&2
    fail "the screen is not as expected after $1 s (screenshot $3.png)"
}

readonly BLACK="0 0 0" WHITE="255 255 255" RED="255 0 0" GREEN="0 255 0" BLUE="0 0 255"

# ---------------------------------------------------------------------------
# Geometry: the window's real client size, the proportional layout of the
# picture box and clipping indicator, and the plot geometry and legend
# computed from the box's size, all from the program's formulas.
# ---------------------------------------------------------------------------
read_window_geometry() {
    local info
    info=$(xwininfo -id "$main_win")
    win_x=$(awk -F: '/Absolute upper-left X/ {print $2 + 0}' <<<"$info")
    win_y=$(awk -F: '/Absolute upper-left Y/ {print $2 + 0}' <<<"$info")
    win_w=$(awk -F: '/Width/ {print $2 + 0}' <<<"$info")
    win_h=$(awk -F: '/Height/ {print $2 + 0}' <<<"$info")
}

# The controls' fractional positions become whole pixels by rounding to the
# nearest; the plot geometry rounds to 16-bit integers, ties to even.
read -r -d '' GEOMETRY_AWK <<'EOF' || true
function nearest(x) { return x < 0 ? -int(-x + 0.5) : int(x + 0.5) }
function even(x,   f, d) {
    f = int(x); if (x < 0 && f != x) f--
    d = x - f
    if (d > 0.5 || (d == 0.5 && f % 2 != 0)) f++
    return f
}
# The middle of the gap between two neighbouring tick positions that lies
# nearest to `want` and strictly between lo and hi: no tick or grid mark there.
function gap_middle(origin, spacing, steps, want, lo, hi,   i, m, best, bestd) {
    best = -1
    for (i = 0; i < steps; i++) {
        m = origin + (i + 0.5) * spacing
        if (m <= lo || m >= hi) continue
        if (best < 0 || (m - want)^2 < bestd) { best = m; bestd = (m - want)^2 }
    }
    return best < 0 ? int(want) : int(best)
}
BEGIN {
    # Picture box and clipping indicator within the window.
    printf "box_x=%d box_y=%d ", nearest(0.03 * W), nearest(0.45 * H)
    GW = nearest(0.95 * W); GH = nearest(0.48 * H)
    printf "box_w=%d box_h=%d ", GW, GH
    il = nearest(0.528 * W); it = nearest(0.303 * H)
    iw = nearest(0.0259 * W); ih = nearest(0.028 * H)
    printf "indicator_x=%d indicator_y=%d ", il + int(iw / 2), it + int(ih / 2)

    # Plot geometry of the drawing pass.
    PlotLeft = even(GW * 0.07792); PlotBottom = even(GH * 0.868)
    XSteps = (XL - 1) * XM; YSteps = (YL - 1) * YM
    XSpacing = (GW - PlotLeft) / XSteps; YSpacing = PlotBottom / YSteps
    printf "plot_left=%d plot_bottom=%d ", PlotLeft, PlotBottom

    # Legend lines: offset and line start are rounded each on its own.
    offset = even(GW * 0.249); start = even(GW * 0.249); stop = even(GW * 0.311)
    x1 = PlotLeft + offset + start; x2 = PlotLeft + offset + stop
    printf "legend_x=%d ", gap_middle(PlotLeft, XSpacing, XSteps, (x1 + x2) / 2, x1, x2)
    printf "legend_y1=%d legend_y2=%d legend_y3=%d ", even(GH * 0.0882), even(GH * 0.176), even(GH * 0.264)

    # The left frame half-way between two labelled Y ticks, between minor ticks.
    j = YM * int((YL - 1) / 2) + int(YM / 2)
    printf "frame_y=%d ", int((j + 0.5) * YSpacing)
    # Top and bottom frame lines, away from the tick columns.
    printf "frame_x=%d ", gap_middle(PlotLeft, XSpacing, XSteps, (PlotLeft + GW) / 2, PlotLeft, GW)

    # A point of the black ground: the centre of the tick cell that holds the
    # graph point (GroundAngle, GroundValue).
    gx = PlotLeft + (GroundAngle - XMin) * (GW - PlotLeft) / (XMax - XMin)
    gy = PlotBottom - (GroundValue - YMin) * PlotBottom / (YMax - YMin)
    printf "ground_x=%d ", gap_middle(PlotLeft, XSpacing, XSteps, gx, PlotLeft, GW)
    printf "ground_y=%d\n", gap_middle(0, YSpacing, YSteps, gy, 0, PlotBottom)
}
EOF

# compute_geometry <XMin> <XMax> <XLabeled> <XMinor> <YMin> <YMax> <YLabeled>
#                  <YMinor> <ground angle> <ground value>
compute_geometry() {
    local line
    line=$(awk -v W="$win_w" -v H="$win_h" -v XMin="$1" -v XMax="$2" -v XL="$3" -v XM="$4" \
        -v YMin="$5" -v YMax="$6" -v YL="$7" -v YM="$8" -v GroundAngle="$9" \
        -v GroundValue="${10}" "$GEOMETRY_AWK")
    local pair
    for pair in $line; do
        printf -v "${pair%%=*}" '%d' "${pair#*=}"
    done
    box_left=$((win_x + box_x))
    box_top=$((win_y + box_y))
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

# focus_window <id>: what a window manager does when the user clicks a window.
focus_window() {
    timeout 5 xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true
    wait_until 3 has_focus "$1" || fail "window $1 does not take the keyboard focus"
}

# The first layout waits for a timer after the window is shown: typing must
# not start before it, or its whole-text selection would catch the typing.
# It has happened when the picture box stands at its laid-out place.
box_laid_out() {
    shot layout
    local inside outside
    inside=$(pixel layout "$box_left" "$box_top")
    outside=$(pixel layout $((box_left - 1)) $((box_top - 1)))
    [[ $inside != "$outside" ]] || return 1
    inside=$(pixel layout $((box_left + box_w - 1)) $((box_top + box_h - 1)))
    outside=$(pixel layout $((box_left + box_w)) $((box_top + box_h)))
    [[ $inside != "$outside" ]]
}

# launch <16 field texts>: prepare the settings file, start the program and
# wait until its window is laid out and has the keyboard.
launch() {
    write_settings "$@"
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
    # The graph settings only matter once "Calculate" has drawn; the box's
    # place depends on the window alone.
    compute_geometry 0 360 7 5 -300 300 7 5 0 0
    wait_until 3 box_laid_out ||
        log "note: could not see the picture box at its laid-out place; going on"
    # Keep the pointer off the window: no hover effects in the screenshots.
    xdotool mousemove "$((screen_w - 1))" "$((screen_h - 1))"
    focus_window "$main_win"
    log "window $main_win up: ${win_w}x${win_h}+${win_x}+${win_y}"
}

keys() { xdotool key --delay 15 "$@"; }
# set_field <text>: select the focused field's whole text and type over it.
set_field() {
    keys ctrl+a
    if [[ -n $1 ]]; then
        xdotool type --delay 15 -- "$1"
    else
        keys BackSpace
    fi
}

# The fields in the order Tab visits them from field 0; the Tab after the
# last one reaches "Calculate", the next one "End".
readonly TAB_ORDER=(0 1 2 3 4 8 9 10 11 12 13 14 15 5 6 7 16)

# fill_fields [index=text...]: from field 0 (where the keyboard is at start
# and after a successful "Calculate"), walk the whole tab order, typing the
# given texts into their fields; the keyboard ends on "Calculate".
fill_fields() {
    declare -A text=()
    local pair field
    for pair in "$@"; do text[${pair%%=*}]=${pair#*=}; done
    for field in "${TAB_ORDER[@]}"; do
        [[ -v text[$field] ]] && set_field "${text[$field]}"
        keys Tab
    done
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

# graph_checks <shot>: the first worked example on the standard scales.
graph_checks() {
    # Placement of the box: the frame's top line is the box's top row and runs
    # to its right edge; the bottom line lies at PlotBottom.
    expect_pixel "$1" "$plot_left" 0 "$WHITE" "frame, top-left corner"
    expect_pixel "$1" "$frame_x" 0 "$WHITE" "frame, top line"
    expect_pixel "$1" $((box_w - 1)) 0 "$WHITE" "frame, top line at the box's right edge"
    expect_pixel "$1" "$frame_x" "$plot_bottom" "$WHITE" "frame, bottom line"
    expect_pixel "$1" "$frame_x" $((plot_bottom - 2)) "$BLACK" "ground just above the bottom line"
    expect_pixel "$1" "$plot_left" "$frame_y" "$WHITE" "frame, left line (Y axis)"
    local dx dy
    for dx in -1 0 1; do
        for dy in -1 0 1; do
            expect_pixel "$1" $((ground_x + dx)) $((ground_y + dy)) "$BLACK" "black ground"
        done
    done
    expect_pixel "$1" "$legend_x" "$legend_y1" "$RED" "legend line, load voltage"
    expect_pixel "$1" "$legend_x" "$legend_y2" "$GREEN" "legend line, V1 current"
    expect_pixel "$1" "$legend_x" "$legend_y3" "$BLUE" "legend line, V2 current"
    expect_screen_pixel "$1" "$indicator_x" "$indicator_y" "$expected_indicator" \
        "clipping indicator"
}

# worked_example <name> <indicator rgb> <5 inputs> <3 results>: type the
# inputs, press "Calculate", check the graph and the indicator on screen,
# press "End" and check the saved results.
worked_example() {
    scenario=$1
    expected_indicator=$2
    local inputs=("${@:3:5}") results=("${@:8:3}")
    launch "${BASE[@]}"
    fill_fields 0="${inputs[0]}" 1="${inputs[1]}" 2="${inputs[2]}" 3="${inputs[3]}" \
        4="${inputs[4]}"
    keys space
    # The graph's ground: at 90 degrees and -150 no trace of these examples
    # passes (load voltage 0 or above 200 V there, currents 0 or above).
    compute_geometry 0 360 7 5 -300 300 7 5 90 -150
    poll_pixels 10 graph_checks "$scenario"
    keep_png "$scenario"
    # "Calculate" hands the keyboard back to field 0: End is 18 stops away.
    tab_to_end 18
    expect_saved "${inputs[@]}" "${results[@]}" "${BASE[@]:8:8}"
    log "$scenario: ${results[*]}: ok"
}

# The first example also types every graph scale, so that the graph drawn
# comes from typed values.
scenario=worked-example
expected_indicator=$GREEN
launch "${BASE[@]:0:8}" 1 2 3 4 5 6 7 8
fill_fields 0=400 1=60 2=4000 3=200 4=50 8=0 9=360 10=7 11=5 12=-300 13=300 14=7 15=5
keys space
compute_geometry 0 360 7 5 -300 300 7 5 90 -150
poll_pixels 10 graph_checks "$scenario"
keep_png "$scenario"
log "graph: box ${box_w}x${box_h}+${box_x}+${box_y}, PlotLeft $plot_left," \
    "PlotBottom $plot_bottom, legend at x $legend_x y $legend_y1/$legend_y2/$legend_y3"
tab_to_end 18
expect_saved 400 60 4000 200 50 13.568 7.225 51.254 0 360 7 5 -300 300 7 5
log "$scenario: 13.568 7.225 51.254: ok"

worked_example clipping "$RED" 400 60 4000 300 50 9.921 15.739 57.865
worked_example ebk-above-supply "$RED" 300 400 4000 200 50 15 0 50
worked_example zero-drive "$GREEN" 400 50 8 0 100 40 0 100

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
    sleep 0.3
    app_alive || fail "the program ended after the message"
    app_windows | grep -qx "$main_win" || fail "the main window is gone after the message"
    log "message dismissed with $1; the program goes on"
}

# bad_input <name> <dismiss key> <indicator check> <saved 5-7...> -- <index=text...>
bad_input() {
    scenario=$1
    local key=$2 indicator_check=$3
    shift 3
    local saved_results=("$1" "$2" "$3")
    shift 4
    launch "${BASE[@]}"
    fill_fields "$@"
    keys space
    expect_message "$key"
    compute_geometry 0 360 7 5 -300 300 7 5 90 -150
    poll_pixels 5 "$indicator_check" "$scenario"
    keep_png "$scenario"
    # Back to the window, as the user would click it: the keyboard is still on
    # "Calculate", so "End" is one Tab away.
    focus_window "$main_win"
    tab_to_end 1
    local expected=("${BASE[@]}") pair
    for pair in "$@"; do expected[${pair%%=*}]=${pair#*=}; done
    expected[5]=${saved_results[0]}
    expected[6]=${saved_results[1]}
    expected[7]=${saved_results[2]}
    expect_saved "${expected[@]}"
    log "$scenario: fields saved as typed, results ${saved_results[*]}: ok"
}

# expect_no_legend <shot>: no graph was drawn (whatever the box showed before).
expect_no_legend() {
    local got
    got=$(pixel "$1" $((box_left + legend_x)) $((box_top + legend_y1)))
    [[ $got != "$RED" ]] || pixel_problems+=("a graph was drawn: the legend line is there")
}

# The load current is 0 / 0 at the first sample: the indicator has turned
# green, the earlier results stay, no graph.
after_division_in_sweep() {
    expect_screen_pixel "$1" "$indicator_x" "$indicator_y" "$GREEN" "clipping indicator"
    expect_no_legend "$1"
}
bad_input zero-load Return after_division_in_sweep 11.111 22.222 33.333 -- 2=0

# A tick count beyond 16 bits stops "Calculate" while the fields are read,
# before the indicator changes.
after_tick_overflow() {
    local got
    got=$(pixel "$1" $((win_x + indicator_x)) $((win_y + indicator_y)))
    [[ $got != "$GREEN" && $got != "$RED" ]] ||
        pixel_problems+=("clipping indicator changed to rgb($got)")
    expect_no_legend "$1"
}
bad_input tick-overflow space after_tick_overflow 11.111 22.222 33.333 -- 10=40000

# Equal X limits fail in the drawing pass, after the sweep has written its
# results (nothing is rolled back); the box is left black and empty.
after_equal_limits() {
    expect_screen_pixel "$1" "$indicator_x" "$indicator_y" "$GREEN" "clipping indicator"
    expect_pixel "$1" "$legend_x" "$legend_y1" "$BLACK" "no graph: legend place"
    expect_pixel "$1" "$plot_left" "$frame_y" "$BLACK" "no graph: frame place"
}
bad_input equal-x-limits Escape after_equal_limits 13.568 7.225 51.254 -- 8=90 9=90

scenario=finished
log "PASS: all end-to-end scenarios"
