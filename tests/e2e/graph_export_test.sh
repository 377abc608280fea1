#!/usr/bin/env bash
# The graph taken out of the window, end to end: the real program under
# openbox on a private Xvfb display, its first run (the worked example in the
# fields), "Calculate" pressed, then
# - with the mouse: a right-click on the graph and "Save Graph As...": the
#   dialog offers "Tubebridge graph.png" in the Pictures folder, and Qt's own
#   file dialog takes a full path typed and Return, for a PNG (the graph
#   view's size in device pixels), an SVG (well-formed, its texts, rendered
#   at the view's size) and a PDF (one page, its texts); the next dialog opens
#   in the folder last used; the dialog's own confirmation comes before a file
#   is replaced, named without its extension too, and "No" keeps it; a save
#   into a folder the user may not write leaves the old file byte for byte
#   and shows the message;
#   "Print Graph..." prints to a PDF file through Qt's print dialog;
# - with the keyboard alone: Tab to the graph (the stop after "End"), then
#   Shift+F10 and the Menu key open the menu, Ctrl+Shift+E and Ctrl+P the
#   dialogs; copied, then "End", the graph and a field's text stay on the
#   clipboard; GTK's dialog: no file replaced unasked.
# When the test runs as root the program runs as the user nobody, so that
# the folder's permissions bind it as they bind a user.
#
# Usage: graph_export_test.sh <tubebridge executable>
# Exit status: 0 passed, 1 failed, 77 skipped (a needed tool is missing).
set -euo pipefail

exe=${1:?usage: graph_export_test.sh <tubebridge executable>}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../support/xserver.sh
source "$here/../support/xserver.sh"

# shellcheck disable=SC2046
skip_without Xvfb xdotool xwininfo import convert identify xmllint rsvg-convert pdftotext \
    pdfinfo cmp xclip xfsettingsd dbus-run-session $(desktop_tools openbox)
as_user=()
if (($(id -u) == 0)); then
    skip_without setpriv
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
[[ -x $exe ]] || {
    echo "FAIL: no executable at '$exe'"
    exit 1
}

work=$(mktemp -d "${TMPDIR:-/tmp}/tubebridge-graph-export.XXXXXX")
app_pid="" main="" scenario=start
failure_shot=${TMPDIR:-/tmp}/tubebridge-graph-export-failure.png
fail() {
    echo "FAIL [$scenario]: $*" >&2
    import -window root "$failure_shot" 2>/dev/null && echo "screenshot: $failure_shot" >&2
    tail -n 5 "$work"/logs/*.log 2>/dev/null >&2 || true
    [[ -z $app_pid ]] || echo "the program's windows: $(window_list)" >&2
    exit 1
}
end_on_exit "$work"
set -E
trap 'echo "FAIL [$scenario]: line $LINENO: $BASH_COMMAND failed" >&2' ERR

xserver_start 200 249 1280x1024 "$work/xvfb.log" || fail "no free X display between :200 and :249"
desktop_start openbox "$work" || fail "openbox did not start: $(tail -n 5 "$work/desktop/log")"

# The program's copy, its home (with a Pictures folder), a folder it may
# write and one it may not, which holds an old file.
chmod 755 "$work"
mkdir -p "$work/app" "$work/home/Pictures" "$work/out" "$work/locked" "$work/logs"
mkdir -m 700 "$work/runtime"
cp "$exe" "$work/app/tubebridge"
head -c 4096 /dev/urandom >"$work/locked/graph.png"
cp "$work/locked/graph.png" "$work/old.png"
if ((${#as_user[@]} > 0)); then
    chown -R nobody:nogroup "$work/app" "$work/home" "$work/out" "$work/runtime"
else
    chmod 555 "$work/locked"
fi

keys() { xdotool key --delay 20 "$@"; }
# shellcheck disable=SC2046 # one word per Tab
tabs() { keys $(printf 'Tab %.0s' $(seq "$1")); }
has_keyboard() { [[ $(desktop_focused) == "$1" ]]; }

# The program's visible windows (menus too), the oldest first, as "id title".
window_list() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | sort -n); do
        echo "$w $(xdotool getwindowname "$w" 2>/dev/null || true)"
    done
}
# titled <title>: the ids of its windows of that title, the oldest first.
titled() { window_list | awk -v t="$1" '{ id = $1; $1 = ""; if (substr($0, 2) == t) print id }'; }
# Set by the waits below: the window found.
found=""
# new_window <title>: a window of that title that is not the main window.
new_window() {
    found=$(titled "$1" | grep -vx "$main" | tail -n 1)
    [[ -n $found ]]
}
# a_menu: a window beside the main window, where none stood before.
a_menu() {
    found=$(window_list | awk '{print $1}' | grep -vx "$main" | tail -n 1)
    [[ -n $found ]]
}
# gone <id>: the window is no longer among the program's, which are listed.
gone() {
    local list
    list=$(window_list)
    grep -q "^$main " <<<"$list" && ! grep -q "^$1 " <<<"$list"
}

# launch: the program's first run: no settings file beside it, so the fields
# hold the worked example.
launch() {
    rm -f "$work/app/Tubebridge.dat"
    desktop_launch "$work/logs/$scenario.log" "${as_user[@]}" \
        env -u XDG_CONFIG_HOME -u XDG_CURRENT_DESKTOP -u QT_QPA_PLATFORMTHEME -u QT_SCALE_FACTOR \
        HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" ${theme:+QT_QPA_PLATFORMTHEME=$theme} \
        LC_ALL=C.UTF-8 "$work/app/tubebridge" ||
        fail "the window did not appear: $(cat "$work/logs/$scenario.log")"
    main=$(desktop_windows | sed -n 1p)
    wait_until 10 laid_out || fail "the window was not laid out"
    xdotool mousemove 1279 1023
    wait_until 10 has_keyboard "$main" || fail "the window did not get the keyboard"
}
# Before "Calculate" the graph view is one black box: where it lies, in
# device pixels (gx gy gw gh), is the black run through a point of it.
laid_out() {
    read -r wx wy ww wh <<<"$(desktop_geometry "$main")"
    import -window root "$work/shot.png"
    laid_out_in "$work/shot.png" "$wx" "$wy" "$ww" "$wh"
}
# black_run <crop geometry> <index>: "first last" of the black run through
# that pixel of a one-pixel row or column of the screenshot.
black_run() {
    convert "$work/shot.png" -crop "$1" +repage -depth 8 txt:- | awk -v at="$2" -F'[,: ]+' '
        NR > 1 { i = $1 + $2; black[i] = ($0 ~ /#000000/) }
        END { for (a = at; a > 0 && black[a - 1]; a--); for (b = at; black[b + 1]; b++); print a, b }'
}
measure_graph() {
    local x=$((wx + ww / 2)) y=$((wy + wh * 70 / 100)) a b
    read -r a b <<<"$(black_run "1280x1+0+$y" "$x")"
    gx=$a gw=$((b - a + 1))
    read -r a b <<<"$(black_run "1x1024+$gx+0" "$y")"
    gy=$a gh=$((b - a + 1))
    echo "  the graph view: ${gw}x${gh} device pixels at $gx,$gy"
}
calculate() {
    # From field 0 the seventeenth stop is "Calculate".
    tabs 17
    keys space
    drawn() {
        import -window root "$work/shot.png"
        patch_in "$work/shot.png" "$gx" "$gy" "$gw" "$gh" 255,0,0 30x1
    }
    wait_until 10 drawn || fail "no graph after \"Calculate\""
}

# menu_item <1|2|3>: with the menu open (found), its entry clicked: "Copy
# Graph", "Save Graph As..." or "Print Graph...", each a third of its height.
menu_item() {
    local x y w h
    read -r x y w h <<<"$(desktop_geometry "$found")"
    xdotool mousemove $((x + w / 2)) $((y + h * (2 * $1 - 1) / 6)) click 1
}
open_menu_by_mouse() {
    xdotool mousemove $((gx + gw / 2)) $((gy + gh / 2)) click 3
    wait_until 5 a_menu || fail "no menu after a right-click on the graph"
}
# expect_dialog <title> <what opened it>: the dialog is up and has the
# keyboard; sets dialog.
expect_dialog() {
    wait_until 10 new_window "$1" || fail "no \"$1\" dialog after $2"
    dialog=$found
    wait_until 5 has_keyboard "$dialog" || fail "the \"$1\" dialog does not have the keyboard"
}
# confirmation: the save dialog asks whether to replace a file (sets found).
confirmation() { new_window "Save Graph As" && [[ $found != "$dialog" ]]; }
closed_or_asking() { gone "$dialog" || confirmation; }
# accept: Return in the dialog, again while it stays open and asks nothing: a
# completer's list of files, opened by the typed path, takes a Return for
# itself.
accept() {
    local try
    for try in 1 2 3; do
        ((try == 1)) || echo "  the dialog is still open: Return again"
        keys Return
        wait_until 5 closed_or_asking && return 0
    done
    fail "the dialog stayed open after Return, three times"
}
# type_path <path>: over the dialog's file name, then Return.
type_path() {
    keys ctrl+a
    xdotool type --delay 10 -- "$1"
    accept
}
# expect_saved <path>: the dialog closes and the file stands (it is written
# whole under a temporary name, then renamed).
expect_saved() {
    wait_until 10 gone "$dialog" || fail "the dialog stayed open after Return"
    wait_until 10 test -s "$1" || fail "no file at $1"
}

# What each format holds: the same texts, from the drawing pass.
readonly TEXTS=("Phase Angle (Degrees)" "Load Voltage (Volts)" "V1 Cathode Current (mA)"
    "V2 Cathode Current (mA)")
expect_texts() { # <file> <its texts>
    local text
    for text in "${TEXTS[@]}"; do
        grep -qF -- "$text" <<<"$2" || fail "$1 does not hold the text \"$text\""
    done
}
check_png() {
    local got
    got=$(identify -format '%m %w %h' "$1") || fail "$1 is not an image"
    [[ $got == "PNG $gw $gh" ]] || fail "$1: '$got', expected 'PNG $gw $gh' (the graph view)"
}
check_svg() {
    xmllint --noout "$1" || fail "$1 is not well-formed XML"
    expect_texts "$1" "$(xmllint --xpath '//*[local-name()="text"]/text()' "$1")"
    rsvg-convert -o "$work/svg.png" "$1" || fail "rsvg-convert cannot render $1"
    local got
    got=$(identify -format '%w %h' "$work/svg.png")
    [[ $got == "$gw $gh" ]] || fail "$1 renders at $got, expected $gw $gh (the graph view)"
}
check_pdf() {
    local pages
    pages=$(pdfinfo "$1" | awk '/^Pages:/ {print $2}') || fail "$1 is not a PDF"
    [[ $pages == 1 ]] || fail "$1 has $pages pages, expected 1"
    expect_texts "$1" "$(pdftotext "$1" -)"
}
# check_file <path>: it is what its extension says.
check_file() {
    case $1 in
    *.png) check_png "$1" ;;
    *.svg) check_svg "$1" ;;
    *.pdf) check_pdf "$1" ;;
    esac
    echo "  $(basename "$1"): ok"
}

# save_as_by_mouse <path>: right-click, "Save Graph As...", the path typed.
save_as_by_mouse() {
    open_menu_by_mouse
    menu_item 2
    expect_dialog "Save Graph As" '"Save Graph As..."'
    type_path "$1"
}

# ---------------------------------------------------------------------------
scenario=mouse
launch
measure_graph
calculate

# The first dialog offers its name in the Pictures folder: Return takes it.
open_menu_by_mouse
menu_item 2
expect_dialog "Save Graph As" '"Save Graph As..."'
accept
expect_saved "$work/home/Pictures/Tubebridge graph.png"
check_file "$work/home/Pictures/Tubebridge graph.png"

for format in png svg pdf; do
    save_as_by_mouse "$work/out/graph.$format"
    expect_saved "$work/out/graph.$format"
    check_file "$work/out/graph.$format"
done

# The next dialog opens in the folder last used.
open_menu_by_mouse
menu_item 2
expect_dialog "Save Graph As" '"Save Graph As..."'
accept
expect_saved "$work/out/Tubebridge graph.png"
echo "  the dialog opened in the folder last used"

# A file that exists, named without its extension: the dialog asks about
# that file first; "No" (its default) keeps it.
printf 'old\n' >"$work/out/old.png"
cp "$work/out/old.png" "$work/old.txt"
save_as_by_mouse "$work/out/old"
wait_until 10 confirmation || fail "no confirmation before replacing old.png"
question=$found
keys Return
wait_until 5 gone "$question" || fail "Return did not answer the confirmation"
# Still in the dialog: Return asks again.
accept
wait_until 10 confirmation || fail "no confirmation the second time"
cmp -s "$work/old.txt" "$work/out/old.png" || fail "old.png was replaced after \"No\""
keys alt+y
expect_saved "$work/out/old.png"
replaced() { ! cmp -s "$work/old.txt" "$1"; }
wait_until 10 replaced "$work/out/old.png" || fail "old.png was not replaced after \"Yes\""
check_file "$work/out/old.png"
echo "  replaced only after the dialog's confirmation"

# A folder the user may not write: the old file stays byte for byte, and the
# message says so.
save_as_by_mouse "$work/locked/graph.png"
wait_until 10 confirmation || fail "no confirmation before replacing locked/graph.png"
keys alt+y
wait_until 10 gone "$dialog" || fail "the dialog stayed open"
wait_until 10 new_window "Tubebridge" || fail "no message after a save into a locked folder"
message=$found
import -window root "$work/message.png"
cmp -s "$work/old.png" "$work/locked/graph.png" || fail "the old file in the locked folder changed"
[[ $(ls "$work/locked") == graph.png ]] || fail "the locked folder holds: $(ls "$work/locked")"
desktop_close "$message"
wait_until 5 gone "$message" || fail "the message did not close"
kill -0 "$app_pid" || fail "the program ended after the message"
echo "  a save into a locked folder left the old file and showed the message"

# "Print Graph...": Qt's print dialog, without a print server, prints to a
# PDF file whose name is typed into its "Output file" field (Alt+F).
open_menu_by_mouse
menu_item 3
expect_dialog "Print" '"Print Graph..."'
keys alt+f
type_path "$work/out/printed.pdf"
expect_saved "$work/out/printed.pdf"
printed() { pdfinfo "$work/out/printed.pdf" >/dev/null 2>&1; }
wait_until 10 printed || fail "printed.pdf is not a whole PDF"
check_file "$work/out/printed.pdf"
echo "mouse: saved PNG, SVG and PDF, confirmed, refused, printed"

desktop_close "$main"
wait_until 10 eval '! kill -0 "$app_pid" 2>/dev/null' || fail "the program did not end"
app_pid=""

# ---------------------------------------------------------------------------
scenario=keyboard
launch
measure_graph
calculate
# "Calculate" hands the keyboard back to field 0: "End" is the eighteenth
# stop from there, the graph the nineteenth.
tabs 19
open_menu_by_key() {
    keys "$1"
    wait_until 5 a_menu || fail "no menu after $1 on the graph"
}
open_menu_by_key shift+F10
keys Down Down Return
expect_dialog "Save Graph As" "Shift+F10, Down, Down, Return"
type_path "$work/out/keys.png"
expect_saved "$work/out/keys.png"
check_file "$work/out/keys.png"

open_menu_by_key Menu
keys Down Down Return
expect_dialog "Save Graph As" "Menu, Down, Down, Return"
type_path "$work/out/keys.svg"
expect_saved "$work/out/keys.svg"
check_file "$work/out/keys.svg"

keys ctrl+shift+e
expect_dialog "Save Graph As" "Ctrl+Shift+E"
type_path "$work/out/keys.pdf"
expect_saved "$work/out/keys.pdf"
check_file "$work/out/keys.pdf"

keys ctrl+p
expect_dialog "Print" "Ctrl+P"
keys alt+f
type_path "$work/out/keys-printed.pdf"
expect_saved "$work/out/keys-printed.pdf"
wait_until 10 pdfinfo "$work/out/keys-printed.pdf" >/dev/null 2>&1 ||
    fail "keys-printed.pdf is not a whole PDF"
check_file "$work/out/keys-printed.pdf"
echo "keyboard: Shift+F10, Menu, Ctrl+Shift+E and Ctrl+P on the graph saved and printed"

# ---------------------------------------------------------------------------
scenario=clipboard # copied, then "End": Xfce's clipboard manager keeps it
setsid dbus-run-session -- xfsettingsd --no-daemon --disable-wm-check >/dev/null 2>&1 &
note_started "-$!"
printf probe | xclip -selection clipboard -loops 1 # the manager answers once it has taken it
wait_until 10 eval 'xclip -o -selection CLIPBOARD_MANAGER -t TARGETS &>/dev/null' || fail "no manager"
copy_and_end() {
    keys ctrl+c "$@" space
    # At once, and not after Qt's 5 s wait for the manager on the way out.
    wait_until 3 eval '! kill -0 "$app_pid" 2>/dev/null' || fail "the program did not end within 3 s"
}
launch
calculate
tabs 19
copy_and_end shift+Tab
[[ $(xclip -o -selection clipboard -t image/png | identify -format '%m %w %h' -) == "PNG $gw $gh" ]] ||
    fail "after End the clipboard lost the graph"
launch
copy_and_end $(printf 'Tab %.0s' $(seq 18)) # field 0's text, selected at start
[[ $(xclip -o -selection clipboard) == 400 ]] || fail "after End the clipboard lost field 0's text"

# ---------------------------------------------------------------------------
scenario=gtk # its dialog checks the name as typed: the program asks about old.png
compgen -G "/usr/lib/*/qt6/plugins/platformthemes/libqgtk3.so" >/dev/null || fail "no GTK theme"
printf 'old\n' >"$work/out/old.png"
theme=gtk3 launch
calculate
keys ctrl+shift+e # from field 0: the graph's save wherever the focus is
expect_dialog "Save Graph As" "Ctrl+Shift+E"
keys ctrl+a
xdotool type --delay 10 -- "$work/out/oldx" # x takes the place of the entry's completion
keys BackSpace
accept
wait_until 10 confirmation || fail "no question before replacing old.png"
keys Return
cmp -s "$work/old.txt" "$work/out/old.png" || fail "old.png was replaced after \"No\""
echo "clipboard kept after End; GTK's dialog asked before old.png was replaced"
