#!/usr/bin/env bash
# What a blind user hears. The real program runs on a private Xvfb display
# under openbox, with the Orca screen reader on a private session bus and
# accessibility bus (at-spi2-core), speech-dispatcher's dummy output module
# and a private home. It is driven from the keyboard with xdotool, and the
# check is what Orca speaks, as its debug log records it ("SPEECH OUTPUT"):
#
# - the program's name at start;
# - on Tab, each field's caption with its whole value, and the clipping
#   indicator's caption with its state in words, before any press, after a
#   green one and after a red one, and nothing else about clipping;
# - after "Calculate", the three results with their captions and the clipping
#   state, once per press, green and red, not again on the way back to field
#   0, and no field's bare value read out;
# - the File menu's entries by name, opened by Alt+F.
#
# The same checks hold for Orca 43 (Debian 12) and Orca 48 (Debian 13); what
# differs between their logs is kept in one place below.
#
# Usage: screen_reader_test.sh <tubebridge executable>
# Exit status: 0 passed, 1 failed, 77 skipped (a needed tool is missing).
set -euo pipefail

exe=${1:?usage: screen_reader_test.sh <tubebridge executable>}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../support/xserver.sh
source "$here/../support/xserver.sh"

skip_without Xvfb openbox xdotool xwininfo orca speech-dispatcher dbus-run-session script pgrep awk
[[ -x $exe ]] || {
    echo "FAIL: no executable at '$exe'"
    exit 1
}

# The session bus, and the accessibility bus it starts, end with this script.
if [[ -z ${TUBEBRIDGE_PRIVATE_BUS:-} ]]; then
    exec env TUBEBRIDGE_PRIVATE_BUS=1 dbus-run-session -- bash "$0" "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tubebridge-orca.XXXXXX")
orca_log=$work/orca-debug.log
app_pid="" orca_pid="" terminal_pid="" wm_pid=""
start_ms=$(date +%s%3N)

log() { printf '[%5.1fs] %s\n' "$(awk -v t="$(($(date +%s%3N) - start_ms))" 'BEGIN{print t/1000}')" "$*"; }
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

stop_pid() {
    [[ -n $1 ]] && kill -0 "$1" 2>/dev/null || return 0
    kill "$1" 2>/dev/null || true
    wait_until 5 eval "! kill -0 $1 2>/dev/null" || kill -9 "$1" 2>/dev/null || true
}
cleanup() {
    local rc=$?
    trap - EXIT INT TERM
    stop_pid "$app_pid"
    stop_pid "$orca_pid"
    stop_pid "$terminal_pid"
    stop_pid "$(cat "$work/runtime/speech-dispatcher/pid/speech-dispatcher.pid" 2>/dev/null)"
    stop_pid "$wm_pid"
    xserver_stop
    if ((rc != 0)) && [[ -f $orca_log ]]; then
        echo "--- what Orca said" >&2
        spoken_since 0 >&2 || true
        echo "--- the program's output" >&2
        tail -n 20 "$work/program.log" >&2 || true
    fi
    rm -rf "$work"
    exit "$rc"
}
trap cleanup EXIT
# A command that fails where no check expects it ends the test (set -e): it
# says which, so that such an end is never silent.
set -E
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND failed" >&2' ERR
trap 'exit 130' INT
trap 'exit 143' TERM

# A home of its own: settings of the screen reader and the speech server, and
# the sockets of the buses, stay out of the user's.
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export GSETTINGS_BACKEND=memory LC_ALL=C.UTF-8 LANG=C.UTF-8
mkdir -p "$XDG_CONFIG_HOME/speech-dispatcher" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$work/app"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Nothing needs to be heard: the dummy module, on ALSA's null device.
printf '%s\n' 'AddModule "dummy" "sd_dummy" ""' 'DefaultModule dummy' \
    'AudioOutputMethod "alsa"' 'AudioALSADevice "null"' \
    >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf"

# ---------------------------------------------------------------------------
# Orca's debug log: the one place that reads it, and knows how each version
# writes it. Each "SPEECH OUTPUT" line is one utterance, with the voice after
# it (Orca 48 puts a blank before the voice, Orca 43 none) and with or without
# a full stop at its end (Orca 48 leaves the stop off after a window's name).
# The utterances below are compared without that stop. Orca is ready for the
# program once it has started listening to the accessibility bus, which each
# version logs in its own words. Orca 48 also names a push button's role
# "button".
# ---------------------------------------------------------------------------
orca_major=$(orca --version 2>/dev/null | grep -o '[0-9]\+' | sed -n 1p || true)
case $orca_major in
43) orca_ready="ORCA: Starting registry" button_role="push button" ;;
48) orca_ready="ORCA: Starting Atspi main event loop" button_role="button" ;;
*) fail "this test knows the debug log of Orca 43 and Orca 48, not of Orca '$orca_major'" ;;
esac

# Places in the log are byte offsets: the log grows to megabytes.
log_length() { stat -c %s "$orca_log"; }
# spoken_since <offset> [<end offset>]: each utterance in that part of the log.
spoken_since() {
    dd if="$orca_log" iflag=skip_bytes,count_bytes skip="$1" count="$((${2:-$(log_length)} - $1))" \
        status=none | tr -d '\r' |
        sed -n "s/^.* - SPEECH OUTPUT: '\(.*\)'\( voice=[a-z]*\)\{0,1\} \{0,1\}{.*\$/\1/p" |
        sed 's/\.$//'
}
# says <offset> <words...>: Orca said these words one right after the other,
# in one or more whole utterances (how it splits them differs by version:
# Orca 48 says a notification's role apart from its text).
says() {
    local since=$1
    shift
    spoken_since "$since" | awk '
        BEGIN {
            want = ARGV[1]
            for (i = 2; i < ARGC; i++) want = want " " ARGV[i]
            for (i = 1; i < ARGC; i++) delete ARGV[i]
        }
        { said[NR] = $0 }
        END {
            for (s = 1; s <= NR; s++) {
                heard = said[s]
                for (e = s + 1; length(heard) < length(want) && e <= NR; e++) heard = heard " " said[e]
                if (heard == want) exit 0
            }
            exit 1
        }' "$@"
}
# expect_says <offset> <after what> <words...>
expect_says() {
    local since=$1 what=$2
    shift 2
    wait_until 10 says "$since" "$@" ||
        fail "after $what Orca did not say $(printf "'%s' " "$@")- it said: $(spoken_since "$since" | paste -sd '|')"
}
# count_said <offset> <utterance>
count_said() {
    spoken_since "$1" | grep -cxF -- "$2" || true
}

# press <key>: sets mark to Orca's log length before the key, and last_mark
# to the mark of the key before it.
mark=0 last_mark=0
press() {
    last_mark=$mark
    mark=$(log_length)
    xdotool key "$1"
    check_clipping_heard
}

# Nothing may contradict the clipping state that is heard. What Orca says
# after a key is whole once the next key is pressed; then, of all it said,
# only the words expected may speak of clipping.
clipping_heard="" clipping_after=""
# expect_clipping_heard <after what> <words>: checked at the next key.
expect_clipping_heard() {
    clipping_after=$1 clipping_heard=$2
}
clippings() { grep -oi clipping <<<"$1" | wc -l; }
check_clipping_heard() {
    [[ -n $clipping_heard ]] || return 0
    local heard
    heard=$(spoken_since "$last_mark" "$mark" | paste -sd ' ')
    [[ $heard == *"$clipping_heard"* && $(clippings "$heard") -eq $(clippings "$clipping_heard") ]] ||
        fail "after $clipping_after Orca did not say '$clipping_heard' and nothing else of clipping - it said: $heard"
    clipping_heard=""
}

# ---------------------------------------------------------------------------
# The fields, in the order Tab visits them.
# ---------------------------------------------------------------------------
readonly CAPTIONS=("Power Supply Voltage (volts)" "Ebk Saturation (Volts)" "Load Impedance (ohms)"
    "RMS g-to-g Drive (volts)" "Idling Current, Each Tube (mA)" "Plate Dissipation, Each Tube"
    "True Load Power (Watts)" "mA, Each Power Supply" "X Axis Minimum Value"
    "X Axis Maximum Value" "Labeled X-axis Tick Marks" "Minor X-axis Tick Marks"
    "Y Axis Minimum Value" "Y Axis Maximum Value" "Labeled Y-axis Tick Marks"
    "Minor Y-axis Tick Marks" "Clipping")
# TAB_ORDER: tests/support/xserver.sh.
# The worked example with earlier results; one-character values among them.
values=(400 60 4000 200 50 11.111 22.222 33.333 0 360 7 5 -300 300 7 5)
indicator_state="Not calculated yet"

# tab_through <first> <last>: Tab from field <first> of the tab order to
# field <last>; each field is heard with its caption and whole value.
tab_through() {
    local from=-1 to=-1 k field
    for k in "${!TAB_ORDER[@]}"; do
        [[ ${TAB_ORDER[k]} == "$1" ]] && from=$k
        [[ ${TAB_ORDER[k]} == "$2" ]] && to=$k
    done
    for ((k = from + 1; k <= to; k++)); do
        field=${TAB_ORDER[k]}
        press Tab
        if ((field == 16)); then
            expect_says "$mark" "Tab to the indicator" "Clipping: $indicator_state text"
            expect_clipping_heard "Tab to the indicator" "Clipping: $indicator_state text"
        else
            expect_says "$mark" "Tab to field $field" "${CAPTIONS[field]} text" \
                "${values[field]} selected"
        fi
    done
}

# calculate <sentence>: "Calculate", one Tab after the indicator, is pressed;
# the outcome is heard in words, and no field's bare value.
calculate() {
    press Tab
    expect_says "$mark" "Tab to \"Calculate\"" "Calculate $button_role"
    press space
    expect_says "$mark" "\"Calculate\"" "notification $1"
    # The indicator's change is not heard besides.
    expect_clipping_heard "\"Calculate\"" "notification $1"
    local bare
    for bare in "${values[@]:1}"; do
        (($(count_said "$mark" "$bare") == 0)) ||
            fail "after \"Calculate\" Orca read out a field's bare value: '$bare'"
    done
}

# ---------------------------------------------------------------------------
# The run.
# ---------------------------------------------------------------------------
xserver_start 400 449 1280x1024 "$work/xvfb.log" || fail "no free X display between :400 and :449"
openbox --config-file /dev/null >"$work/openbox.log" 2>&1 &
wm_pid=$!
# Orca writes its debug log through a block buffer, unless the log is a
# terminal: on a terminal of its own (script), each line is there at once.
# Never --replace: it ends every Orca of the user, not only this one.
script --quiet --flush --return \
    --command "exec orca --debug-file /dev/tty >$(printf %q "$work/orca.log") 2>&1" \
    "$orca_log" </dev/null >/dev/null 2>&1 &
terminal_pid=$!
find_orca() { orca_pid=$(pgrep -P "$terminal_pid" || true) && [[ -n $orca_pid ]]; }
wait_until 10 find_orca || fail "Orca did not start: $(tail -n 5 "$work/orca.log")"
wait_until 30 grep -qF "$orca_ready" "$orca_log" ||
    fail "Orca did not start: $(tail -n 5 "$work/orca.log")"
log "Orca $orca_major up on $DISPLAY (pid $orca_pid)"

cp "$exe" "$work/app/tubebridge"
printf '%s\r\n' "${values[@]}" >"$work/app/Tubebridge.dat"
(
    cd "$work/app"
    exec env -u QT_SCALE_FACTOR -u WAYLAND_DISPLAY QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        QT_QPA_PLATFORM=xcb ./tubebridge
) >"$work/program.log" 2>&1 &
app_pid=$!

expect_says 0 "the start" "Tubebridge frame"
expect_says 0 "the start" "${CAPTIONS[0]} text" "${values[0]} selected"
log "start: the program's name and field 0 heard"

tab_through 0 16
log "Tab: every field heard with its caption and whole value"

values[5]=13.568 values[6]=7.225 values[7]=51.254
calculate "Plate Dissipation, Each Tube: 13.568. True Load Power (Watts): 7.225. mA, Each Power Supply: 51.254. No clipping"
log "green press: results and \"No clipping\" heard"
indicator_state="No clipping"

# A drive that clips, typed into field 3; the sentence is not heard again on
# the way back to "Calculate".
tab_through 0 3
xdotool key ctrl+a
xdotool type --delay 30 300
values[3]=300
tab_through 3 16
values[5]=9.921 values[6]=15.739 values[7]=57.865
calculate "Plate Dissipation, Each Tube: 9.921. True Load Power (Watts): 15.739. mA, Each Power Supply: 57.865. Clipping"
log "red press: results and \"Clipping\" heard"

# Back on field 0, by Tab and Shift+Tab: the outcome is not heard again.
tab_through 0 1
press shift+Tab
expect_says "$mark" "Shift+Tab back to field 0" "${CAPTIONS[0]} text" "${values[0]} selected"
# On to the indicator, which now says that the drive clips.
indicator_state="Clipping"
tab_through 0 16
press Tab
expect_says "$mark" "Tab to \"Calculate\"" "Calculate $button_role"
log "Tab after the red press: the indicator heard as \"Clipping\""
heard=$(spoken_since 0 | grep -c 'Plate Dissipation, Each Tube: ' || true)
((heard == 2)) || fail "the outcome was heard $heard times after two presses, not once per press"

# The menu bar: Alt+F opens File on its first entry, Down goes on to the
# next, each heard by its name.
press alt+f
wait_until 10 eval 'spoken_since "$mark" | grep -q "^Open Design"' ||
    fail "Alt+F: Orca did not say 'Open Design...' - it said: $(spoken_since "$mark" | paste -sd '|')"
press Down
wait_until 10 eval 'spoken_since "$mark" | grep -qx "Save.*"' ||
    fail "Down in the File menu: Orca did not say 'Save' - it said: $(spoken_since "$mark" | paste -sd '|')"
press Escape
log "the File menu heard entry by entry"

log "PASS: the screen reader heard everything"
