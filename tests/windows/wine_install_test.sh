#!/usr/bin/env bash
# The Windows packages under Wine, as a Windows user meets them. In a new
# Wine prefix, on a private Xvfb display under openbox, driven with the
# keyboard through xdotool (Wine's windows are X11 windows):
#
# - the installer runs silently (/S): the program lands in Program Files with
#   a Start-menu entry and an entry among the installed programs;
# - started from that Start-menu entry, the program calculates the worked
#   example (the indicator turns green, the graph is drawn), saves the graph
#   as a PNG through its menu and the save dialog, and "End" saves
#   13.568, 7.225 and 51.254 to %APPDATA%\Tubebridge\Tubebridge.dat, byte for
#   byte as on Linux, and nothing beside the program;
# - the installed files are the portable zip's, byte for byte;
# - a second start reads that file back;
# - the installer associates .tubebridge with the program, and a design
#   started as Explorer opens it (by that association) is read, named in the
#   title bar and saved by "End", the user's settings untouched;
# - the uninstaller removes the program, its entries and the association,
#   and leaves the user's settings;
# - the portable zip, unpacked into a folder of the user's, keeps its
#   settings beside its tubebridge.exe and reads them back;
# - at 150 % and 200 % (144 and 192 dots per inch), every caption stands
#   whole: none touches its left edge.
#
# Screenshots of each start are kept in the artefact folder, to be looked at.
#
# Usage: wine_install_test.sh <setup.exe> <portable.zip> <artefact folder>
# Exit status: 0 passed, 1 failed, 77 skipped (Wine or an X tool is missing).
set -euo pipefail
setup=$(realpath "${1:?usage: wine_install_test.sh <setup.exe> <portable.zip> <artefacts>}")
zip=$(realpath "${2:?}")
artefacts=${3:?}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../support/xserver.sh
source "$here/../support/xserver.sh"

skip_without Xvfb xdotool xwininfo xprop import convert identify openbox wmctrl unzip cmp
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
[[ -x $wine ]] || skip_without wine64

work=$(mktemp -d "${TMPDIR:-/tmp}/tubebridge-wine.XXXXXX")
prefix=$work/prefix
rm -rf "$artefacts"
mkdir -p "$artefacts"
# The program finds its DLLs beside it; dates and numbers the same as on Linux.
unset WINEPATH
export WINEPREFIX=$prefix WINEDEBUG=-all LC_ALL=C.UTF-8 LANG=C.UTF-8
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'

scenario="setup"
start_s=$(date +%s)
log() { echo "[$(($(date +%s) - start_s)) s] $*"; }
fail() {
    echo "FAIL [$scenario]: $*" >&2
    exit 1
}

app_pid=""
cleanup() {
    local rc=$?
    trap - EXIT INT TERM
    if ((rc != 0)) && [[ -n ${xserver_pid:-} ]]; then
        import -window root "$artefacts/at-failure.png" 2>/dev/null || true
    fi
    # Every Windows program of this prefix, and its session, ends here.
    bash "$here/../../scripts/wine-prefix.sh" "$prefix" --stop
    desktop_stop
    xserver_stop
    rm -rf "$work"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

bash "$here/../../scripts/wine-prefix.sh" "$prefix"
log "Wine prefix made"
xserver_start 350 399 1280x1024 "$work/xvfb.log" || fail "no free X display between :350 and :399"
desktop_start openbox "$work" || fail "openbox did not start"

# A Windows path's place in this file system.
unix_path() { "$wine" winepath -u "$1" 2>/dev/null; }
windows_variable() { "$wine" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }

# ---------------------------------------------------------------------------
# The program: started as Windows starts it, found by its window.
# ---------------------------------------------------------------------------
win_x=0 win_y=0 win_w=0 win_h=0
main_win=""
found_window() {
    main_win=$(xdotool search --onlyvisible --class tubebridge.exe 2>/dev/null | head -n 1)
    [[ -n $main_win ]]
}
laid_out() {
    import -window root "$work/settle.png"
    laid_out_in "$work/settle.png" "$win_x" "$win_y" "$win_w" "$win_h"
}
has_focus() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$main_win" ]]; }

# launch <what to start, a Windows path>: starts it the way Explorer does and
# waits for the window, laid out and with the keyboard; sets app_pid.
launch() {
    "$wine" start "$1" >"$work/$scenario.start.log" 2>&1 || fail "wine start '$1' failed"
    wait_until 60 found_window || fail "no window of the program appeared"
    app_pid=$(xprop -id "$main_win" _NET_WM_PID | awk '{print $3}')
    read -r win_x win_y win_w win_h < <(desktop_geometry "$main_win")
    wait_until 20 laid_out || fail "the window was not laid out (${win_w}x${win_h})"
    xdotool mousemove 1279 1023
    xdotool windowfocus --sync "$main_win" >/dev/null 2>&1 || true
    wait_until 5 has_focus || fail "the window does not take the keyboard"
    log "window $main_win of process $app_pid: ${win_w}x${win_h}+${win_x}+${win_y}"
}
program_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
running_program() { tr '\0' ' ' <"/proc/$app_pid/cmdline"; }

# end_from_field_0: "End", 18 stops away, pressed; the program must end.
end_from_field_0() {
    local tabs
    mapfile -t tabs < <(printf 'Tab\n%.0s' {1..18})
    keys "${tabs[@]}" space
    wait_until 20 program_ended || fail "the program did not end on \"End\""
    app_pid=""
}

# expect_file <file> <16 field texts>: the settings file, byte for byte.
expect_file() {
    local file=$1
    shift
    printf '%s\r\n' "$@" >"$work/expected.dat"
    [[ -f $file ]] || fail "no settings file at $file"
    cmp -s "$work/expected.dat" "$file" || {
        echo "expected (cat -A):" >&2
        cat -A "$work/expected.dat" >&2
        echo "saved in $file (cat -A):" >&2
        cat -A "$file" >&2
        fail "the settings file differs"
    }
}

readonly BLACK="0,0,0" WHITE="255,255,255" GREY="136,136,136"
readonly RED="255,0,0" GREEN="0,255,0" BLUE="0,0,255"
problems=()
expect_patch() {
    patch_in "$1" "$win_x" "$win_y" "$win_w" "$win_h" "$2" "$3" ||
        problems+=("$4: no $3 rectangle of rgb($2)")
}
# The graph drawn and the indicator green, until the deadline.
graph_drawn() {
    import -window root "$artefacts/$scenario.png"
    problems=()
    expect_patch "$artefacts/$scenario.png" "$BLACK" 25x25 "the graph's ground"
    expect_patch "$artefacts/$scenario.png" "$WHITE" 400x1 "the frame's top or bottom line"
    expect_patch "$artefacts/$scenario.png" "$WHITE" 1x100 "the frame's left or right line"
    expect_patch "$artefacts/$scenario.png" "$RED" 30x1 "the load voltage's legend line"
    expect_patch "$artefacts/$scenario.png" "$GREEN" 30x1 "the V1 current's legend line"
    expect_patch "$artefacts/$scenario.png" "$BLUE" 30x1 "the V2 current's legend line"
    expect_patch "$artefacts/$scenario.png" "$GREY" 5x1 "a grid mark"
    expect_patch "$artefacts/$scenario.png" "$GREEN" 9x9 "the clipping indicator"
    ((${#problems[@]} == 0))
}

# program_window <title>: the newest visible window of the program so named,
# beside the main window; any title for "" (a menu's).
program_window() {
    found=""
    local w
    for w in $(xdotool search --onlyvisible --class tubebridge.exe 2>/dev/null | sort -n); do
        [[ $w == "$main_win" ]] && continue
        [[ -z $1 || $(xdotool getwindowname "$w" 2>/dev/null) == "$1" ]] && found=$w
    done
    [[ -n $found ]]
}
# The graph saved as a PNG as a user does: a right-click on it, "Save Graph
# As..." in the middle of its menu's three entries, a full path typed over the
# offered name in the save dialog, and Return. The file holds the graph: as
# wide as the graph view at 100 %, all that differs from the window's ground
# across it (a tick of the right edge may stand where the row crosses it).
save_graph_png() {
    local png=$work/saved/graph.png x y w h
    mkdir -p "$work/saved"
    xdotool mousemove $((win_x + win_w / 2)) $((win_y + win_h * 70 / 100)) click 3
    wait_until 10 program_window "" || fail "no menu after a right-click on the graph"
    read -r x y w h < <(desktop_geometry "$found")
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
    wait_until 20 program_window "Save Graph As" || fail "no save dialog after \"Save Graph As...\""
    xdotool windowfocus --sync "$found" >/dev/null 2>&1 || true
    keys Home shift+End
    xdotool type --delay 15 -- "$("$wine" winepath -w "$png" 2>/dev/null)"
    keys Return
    wait_until 20 test -s "$png" || fail "no file at $png after the save dialog"
    local got width
    got=$(identify -format '%m %w' "$png") || fail "$png is not an image"
    width=$(convert "$artefacts/$scenario.png" -crop "${win_w}x1+$win_x+$((win_y + win_h * 70 / 100))" \
        +repage -depth 8 txt:- | awk 'NR == 2 {ground = $3} NR > 1 && $3 != ground {if (!f) f = NR; l = NR} END {print l - f + 1}')
    [[ $got == "PNG $width" ]] || fail "$png: '$got', expected 'PNG $width' (the graph's width on screen)"
    wait_until 10 eval '! program_window "Save Graph As"' || fail "the save dialog stayed open"
    xdotool windowfocus --sync "$main_win" >/dev/null 2>&1 || true
    wait_until 5 has_focus || fail "the window does not take the keyboard back"
    log "the graph saved as $png through the menu and the save dialog"
}

# The worked example as the settings file holds it after "Calculate".
readonly WORKED=(400 60 4000 200 50 13.568 7.225 51.254 0 360 7 5 -300 300 7 5)
# What a first run shows: the worked example without its results.
readonly FIRST_RUN=(400 60 4000 200 50 "" "" "" 0 360 7 5 -300 300 7 5)

# ---------------------------------------------------------------------------
# The installer.
# ---------------------------------------------------------------------------
scenario="install"
"$wine" "$setup" /S >"$work/install.log" 2>&1 || fail "the installer failed ($?)"
program_files=$(unix_path "$(windows_variable ProgramFiles)")
installed=$program_files/Tubebridge
[[ -f $installed/tubebridge.exe && -f $installed/Uninstall.exe ]] ||
    fail "no tubebridge.exe and Uninstall.exe in $installed"
menu_windows="$(windows_variable ProgramData)\\Microsoft\\Windows\\Start Menu\\Programs\\Tubebridge"
menu=$(unix_path "$menu_windows")
[[ -f $menu/Tubebridge.lnk && -f $menu/Uninstall.lnk ]] ||
    fail "no Start-menu entries Tubebridge and Uninstall in $menu: $(ls -A "$menu")"
# The entry among the installed programs: name, version, icon, uninstaller.
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tubebridge'
"$wine" reg query "$uninstall_key" >"$work/uninstall-key.txt" 2>&1 ||
    fail "no entry among the installed programs ($uninstall_key)"
version=$(basename "$setup" | sed -n 's/^Tubebridge-\(.*\)-setup\.exe$/\1/p')
for value in "DisplayName REG_SZ Tubebridge" "DisplayVersion REG_SZ $version" \
    'DisplayIcon REG_SZ C:\Program Files\Tubebridge\tubebridge.exe' \
    'UninstallString REG_SZ "C:\Program Files\Tubebridge\Uninstall.exe"'; do
    tr -d '\r' <"$work/uninstall-key.txt" | sed 's/^ *//; s/  */ /g' | grep -qxF "$value" ||
        fail "the installed programs' entry has no '$value': $(cat "$work/uninstall-key.txt")"
done
appdata=$(unix_path "$(windows_variable APPDATA)")
own=$appdata/Tubebridge/Tubebridge.dat
# The installer's files are the zip's, byte for byte, and its uninstaller.
unzip -q "$zip" -d "$work/portable"
exe=$(find "$work/portable" -name tubebridge.exe)
[[ -n $exe ]] || fail "no tubebridge.exe in $zip"
diff -r --exclude=Uninstall.exe "$installed" "$(dirname "$exe")" >&2 ||
    fail "the installed files are not the zip's"
log "installed into $installed: the zip's files"

# ---------------------------------------------------------------------------
# From the Start menu: the worked example, saved by "End" into %APPDATA%.
# ---------------------------------------------------------------------------
scenario="installed-calculate"
launch "$menu_windows\\Tubebridge.lnk"
[[ $(running_program) == *'C:\Program Files\Tubebridge\tubebridge.exe'* ]] ||
    fail "the program runs from '$(running_program)', not from Program Files"
fill_fields 0=400 1=60 2=4000 3=200 4=50 8=0 9=360 10=7 11=5 12=-300 13=300 14=7 15=5
keys space
wait_until 15 graph_drawn || {
    printf '  %s\n' "${problems[@]}" >&2
    fail "no graph and green indicator after \"Calculate\" (screenshot $scenario.png)"
}
save_graph_png
end_from_field_0
expect_file "$own" "${WORKED[@]}"
[[ ! -e $installed/Tubebridge.dat ]] || fail "a settings file was written into Program Files"
cp "$own" "$work/own-after-end.dat"
log "worked example saved to $own"

scenario="installed-second-start"
launch "$menu_windows\\Tubebridge.lnk"
import -window root "$artefacts/$scenario.png"
end_from_field_0
expect_file "$own" "${WORKED[@]}"
log "read back and saved again"

# ---------------------------------------------------------------------------
# A design: .tubebridge opens in the program, as a double-click does.
# ---------------------------------------------------------------------------
scenario="installed-design"
default_of() {
    "$wine" reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p'
}
for pair in '.tubebridge=Tubebridge.Design' \
    'Tubebridge.Design\DefaultIcon=C:\Program Files\Tubebridge\tubebridge.exe,0' \
    'Tubebridge.Design\shell\open\command="C:\Program Files\Tubebridge\tubebridge.exe" "%1"'; do
    key="HKCR\\${pair%%=*}"
    [[ $(default_of "$key") == "${pair#*=}" ]] ||
        fail "$key is '$(default_of "$key")', not '${pair#*=}'"
done
design="$work/my designs/push-pull é.tubebridge"
mkdir -p "$(dirname "$design")"
printf '%s\r\n' "${FIRST_RUN[@]:0:15}" 6 >"$design"
launch "$("$wine" winepath -w "$design" 2>/dev/null)"
[[ $(running_program) == *'C:\Program Files\Tubebridge\tubebridge.exe'* ]] ||
    fail "the design opened in '$(running_program)'"
title=$(LC_ALL=C.UTF-8 xprop -id "$main_win" _NET_WM_NAME |
    sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
[[ $title == "push-pull é.tubebridge - Tubebridge" ]] || fail "the title bar says '$title'"
set_field 500
end_from_field_0
expect_file "$design" 500 "${FIRST_RUN[@]:1:14}" 6
cmp -s "$work/own-after-end.dat" "$own" || fail "a design touched the user's settings file"
log "a design opened by its association, read and saved back"

# ---------------------------------------------------------------------------
# The uninstaller (it copies itself away and returns at once).
# ---------------------------------------------------------------------------
scenario="uninstall"
"$wine" "$(windows_variable ProgramFiles)\\Tubebridge\\Uninstall.exe" /S >"$work/uninstall.log" 2>&1 ||
    fail "the uninstaller failed"
# It removes the files first, then the Start-menu folder and the entry among
# the installed programs: wait for the last of them, then say which is left.
no_key() { ! "$wine" reg query "$1" >/dev/null 2>&1; }
uninstalled() {
    [[ ! -e $installed && ! -e $menu ]] && no_key "$uninstall_key" && no_key 'HKCR\.tubebridge'
}
wait_until 60 uninstalled || true
[[ ! -e $installed ]] || fail "$installed is still there: $(ls -A "$installed")"
[[ ! -e $menu ]] || fail "the Start-menu entry is still there: $(ls -A "$menu")"
no_key "$uninstall_key" || fail "the installed programs' entry is still there"
{ no_key 'HKCR\.tubebridge' && no_key 'HKCR\Tubebridge.Design'; } ||
    fail "the association of .tubebridge is still there"
cmp -s "$work/own-after-end.dat" "$own" || fail "the user's settings file was not left as it was"
log "uninstalled; the user's settings kept"

# ---------------------------------------------------------------------------
# The portable zip, in a folder of the user's: settings beside the program.
# ---------------------------------------------------------------------------
scenario="portable"
launch "$("$wine" winepath -w "$exe" 2>/dev/null)"
set_field 500
end_from_field_0
beside=$(dirname "$exe")/Tubebridge.dat
expect_file "$beside" 500 "${FIRST_RUN[@]:1}"
cmp -s "$work/own-after-end.dat" "$own" || fail "the portable program touched %APPDATA%"

scenario="portable-second-start"
launch "$("$wine" winepath -w "$exe" 2>/dev/null)"
import -window root "$artefacts/$scenario.png"
end_from_field_0
expect_file "$beside" 500 "${FIRST_RUN[@]:1}"
log "portable: saved beside the program and read back"

# ---------------------------------------------------------------------------
# Windows' display scale: Qt takes the system's dots per inch as its scale.
# ---------------------------------------------------------------------------
set_dpi() {
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        >/dev/null 2>&1 || fail "could not set LogPixels to $1"
}
for dpi in 144 192; do
    scenario="portable-at-$dpi-dpi"
    set_dpi "$dpi"
    launch "$("$wine" winepath -w "$exe" 2>/dev/null)"
    scale=$(awk -v d="$dpi" 'BEGIN {print d / 96}')
    captions_whole_now() {
        import -window root "$artefacts/$scenario.png"
        captions_whole "$artefacts/$scenario.png" "$win_x" "$win_y" "$win_w" "$win_h" "$scale"
    }
    wait_until 5 captions_whole_now 2>/dev/null || captions_whole_now ||
        fail "a caption is cut at $dpi dots per inch (screenshot $scenario.png)"
    end_from_field_0
    log "at $dpi dots per inch every caption stands whole"
done
set_dpi 96

{ no_key 'HKCR\.tubebridge' && no_key 'HKCR\Tubebridge.Design'; } ||
    fail "the portable program wrote an association of .tubebridge"

scenario="finished"
log "PASS: installed, calculated, saved, read back, a design opened, uninstalled; portable; captions whole at 150 and 200 %"
