# Shell functions for tests that run the real program on a private X server,
# and for skipping a test whose tools are missing.
# Source this file; it sets nothing until a function is called.

# wait_until <seconds> <command...>: polls the command until it succeeds.
wait_until() {
    local deadline=$(($(date +%s%3N) + $1 * 1000))
    shift
    until "$@"; do
        (($(date +%s%3N) < deadline)) || return 1
        sleep 0.05
    done
}

# The display is ours when the server holding its lock file is the one we
# started (another one may have taken the number a moment earlier).
xserver_owns_display() {
    local holder=""
    kill -0 "$xserver_pid" 2>/dev/null || return 1
    read -r holder 2>/dev/null <"/tmp/.X$1-lock" || return 1
    [[ $holder == "$xserver_pid" ]]
}
xserver_ready() {
    kill -0 "$xserver_pid" 2>/dev/null || return 0 # died: stop waiting
    xserver_owns_display "$1" && xwininfo -display ":$1" -root >/dev/null 2>&1
}

# xserver_start <first display> <last display> <width>x<height> <log file>:
# starts Xvfb on the first free display of the range, sets xserver_pid and
# exports DISPLAY. Returns 1 when no display of the range could be had.
xserver_start() {
    local n
    for ((n = $1; n <= $2; n++)); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 "${3}x24" -nolisten tcp -noreset >"$4" 2>&1 &
        xserver_pid=$!
        note_started "$xserver_pid"
        if wait_until 10 xserver_ready "$n" && xserver_owns_display "$n"; then
            export DISPLAY=":$n"
            return 0
        fi
        # Lost the race for this display to someone else, or it would not start.
        xserver_stop
    done
    return 1
}

xserver_stop() {
    [[ -n ${xserver_pid:-} ]] || return 0
    kill "$xserver_pid" 2>/dev/null || true
    wait "$xserver_pid" 2>/dev/null || true
    xserver_pid=""
}

# skip_without <tool...>: ends the test as skipped (status 77) when a tool is
# not installed.
skip_without() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "SKIP: '$tool' is not installed (scripts/test.sh installs it)"
            exit 77
        fi
    done
}

# laid_out_in <screenshot> <x> <y> <width> <height>: the window at that place
# shows its first layout. The graph box is black from the start; laid out, it
# spans 95 % of the window's width at 70 % of its height, where the design
# arrangement puts nothing, with the window's own background on both sides.
laid_out_in() {
    local run
    run=$(convert "$1" -crop "$4x1+$2+$(($3 + $5 * 70 / 100))" +repage -depth 8 txt:- |
        awk 'NR > 1 { if ($3 ~ /#000000/) { r++; if (r > m) m = r } else r = 0 } END {print m + 0}')
    ((run >= $4 * 90 / 100 && run < $4))
}

# patch_in <screenshot> <x> <y> <width> <height> <"r,g,b"> <WxH>: that part
# of the screen holds a W x H rectangle of exactly that colour (the colour's
# mask, eroded by the rectangle, is not empty).
patch_in() {
    local got
    got=$(convert "$1" -crop "$4x$5+$2+$3" -alpha off \
        -fill 'rgb(1,2,3)' +opaque "rgb($6)" -fill white -opaque "rgb($6)" \
        -fill black -opaque 'rgb(1,2,3)' -morphology Erode "Rectangle:$7" \
        -format '%[fx:maxima]' info:)
    [[ $got == 1 ]]
}

# caption_edges <x> <y> <width> <height> <scale>: "left top height" in screen
# pixels of each caption's left edge (captions are right-aligned), for a
# window whose client area lies there, computed as the layout places them:
# left 0.0126 W (0.5846 W for the graph scales, 0.453 W for "Clipping"), top
# 0.0395 H per row (plus 0.0264 H below the required data), height 0.03 H,
# each rounded to the logical pixel.
caption_edges() {
    awk -v x="$1" -v y="$2" -v w="$3" -v h="$4" -v s="$5" '
        function r(v) { return int(v + 0.5) }
        BEGIN {
            W = r(w / s); H = r(h / s)
            for (i = 0; i <= 16; i++) {
                c = i >= 8; g = i >= 5
                left = r(0.572 * W * c + 0.0126 * W)
                top = r(0.0395 * H * (i + 1 - 8 * c) + 0.0264 * H * (g - c))
                if (i == 16) { left = r(0.453 * W); top = r(0.303 * H) }
                print x + r(left * s), y + r(top * s), int(r(0.03 * H) * s)
            }
        }'
}

# form_of <screenshot> <x> <y> <width> <height>: "x y width height" of the form
# under the window's menu bar, by its graph box, 0.45 to 0.93 of the form's
# height down the middle: the longest black run before the first Calculate.
form_of() {
    convert "$1" -crop "1x$5+$(($2 + $4 / 2))+$3" +repage -depth 8 txt:- |
        awk -F'[,:]' -v x="$2" -v y="$3" -v w="$4" -v h="$5" '
            NR > 1 { if (!/#000000/) r = 0; else if (++r > m) { m = r; t = $2 - r + 1 } }
            END { top = int(t - 0.45 * m / 0.48 + 0.5); print x, y + top, w, h - top }'
}

# captions_whole <screenshot> <x> <y> <width> <height> <scale>: no caption's
# ink touches its left edge, as a text cut there would.
captions_whole() {
    local left top height colours
    # shellcheck disable=SC2046 # the form's four words
    while read -r left top height; do
        colours=$(convert "$1" -crop "1x$height+$left+$top" +repage -format '%k' info:)
        [[ $colours == 1 ]] || {
            echo "a caption's ink touches its left edge at x $left, y $top" >&2
            return 1
        }
    done < <(caption_edges $(form_of "${@:1:5}") "$6")
}

# ---------------------------------------------------------------------------
# The program's fields, typed into as a person would with the keyboard.
# ---------------------------------------------------------------------------
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

# ---------------------------------------------------------------------------
# Desktops on the private X server: a window manager, or a Wayland compositor
# nested in a window of it (so that xdotool's input and the screenshots reach
# both). The program runs on it as a user runs it from that desktop.
# ---------------------------------------------------------------------------

# desktop_tools <desktop>: the commands that desktop needs, for skip_without.
desktop_tools() {
    case $1 in
    openbox) echo openbox wmctrl xprop ;;
    kwin_x11) echo kwin_x11 dbus-run-session wmctrl xprop ;;
    sway | sway-xwayland) echo sway swaymsg jq setpriv ;;
    *) echo "no-such-desktop-$1" ;;
    esac
}

# As whom the desktop runs: sway refuses root, so a test run as root runs it
# and the program as the user nobody.
desktop_user() {
    if [[ $desktop == sway* && $(id -u) -eq 0 ]]; then echo nobody; else id -un; fi
}
# desktop_own <path...>: hands files to the desktop's user.
desktop_own() {
    [[ $(desktop_user) == "$(id -un)" ]] || chown -R "$(desktop_user)" "$@"
}
# as_desktop_user <command...>: runs it as the desktop's user.
as_desktop_user() {
    if [[ $(desktop_user) == "$(id -un)" ]]; then
        "$@"
    else
        setpriv --reuid="$(desktop_user)" --regid="$(id -g "$(desktop_user)")" --clear-groups "$@"
    fi
}

# Every process a test starts in the background is noted, so that a guard
# can end it should the test itself be killed outright, where no trap runs:
# a process by its id, a process group by its negated id.
started_file=""
note_started() { [[ -z $started_file ]] || echo "$1" >>"$started_file"; }
# guard_started <folder>: from now on what is started is noted in the folder;
# once this script is gone, the guard ends each of them and removes the
# folder. stop_guard ends the guard when the script has ended them itself.
guard_started() {
    started_file=$1/started
    : >"$started_file"
    local parent=$$
    (
        while kill -0 "$parent" 2>/dev/null; do sleep 1; done
        while read -r id; do kill -KILL -- "$id" || true; done <"$started_file"
        rm -rf "$1"
    ) >/dev/null 2>&1 &
    guard_pid=$!
}
stop_guard() {
    [[ -n ${guard_pid:-} ]] || return 0
    kill "$guard_pid" 2>/dev/null || true
    wait "$guard_pid" 2>/dev/null || true
    guard_pid=""
}

# end_on_exit <folder>: however the test ends (its end, an error, INT or
# TERM), its program (app_pid), the desktop, the display and the guard are
# ended and the folder removed; until then the guard watches what is started.
end_on_exit() {
    end_folder=$1
    trap end_test EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    guard_started "$end_folder"
}
end_test() {
    local rc=$?
    trap - EXIT INT TERM
    [[ -z ${app_pid:-} ]] || kill "$app_pid" 2>/dev/null || true
    desktop_stop
    xserver_stop
    stop_guard
    rm -rf "$end_folder"
    exit "$rc"
}

x11_desktop_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
swaymsg_() { SWAYSOCK=$sway_socket swaymsg "$@"; }
sway_ready() {
    kill -0 "$desktop_pid" 2>/dev/null || return 0 # died: stop waiting
    sway_socket=$(find "$desktop_dir/runtime" -maxdepth 1 -name 'sway-ipc.*.sock' | sed -n 1p)
    [[ -n $sway_socket ]] && swaymsg_ -t get_version >/dev/null 2>&1
}

# desktop_start <desktop> <folder>: starts openbox, kwin_x11 (KDE), sway
# (Wayland) or sway-xwayland (sway, the program on X11 through Xwayland) on
# $DISPLAY, keeping its files in the folder. Sets desktop and desktop_pid.
# The desktop runs in a process group of its own (setsid), which desktop_stop
# ends whole: a compositor's helpers, such as Xwayland, go with it.
desktop_start() {
    desktop=$1
    desktop_dir=$2/desktop
    mkdir -p "$desktop_dir/runtime"
    chmod 700 "$desktop_dir/runtime"
    case $desktop in
    openbox)
        HOME=$desktop_dir setsid openbox --config-file /dev/null >"$desktop_dir/log" 2>&1 &
        desktop_pid=$!
        note_started "-$desktop_pid"
        wait_until 10 x11_desktop_ready
        ;;
    kwin_x11)
        HOME=$desktop_dir XDG_RUNTIME_DIR=$desktop_dir/runtime \
            setsid dbus-run-session -- kwin_x11 >"$desktop_dir/log" 2>&1 &
        desktop_pid=$!
        note_started "-$desktop_pid"
        wait_until 30 x11_desktop_ready
        ;;
    sway | sway-xwayland)
        printf 'xwayland enable\n' >"$desktop_dir/config"
        chmod 755 "$2" "$desktop_dir"
        desktop_own "$desktop_dir"
        local as_user=()
        [[ $(desktop_user) == "$(id -un)" ]] ||
            as_user=(setpriv --reuid="$(desktop_user)" --regid="$(id -g "$(desktop_user)")"
                --clear-groups)
        setsid "${as_user[@]}" env -i HOME="$desktop_dir" XDG_RUNTIME_DIR="$desktop_dir/runtime" \
            DISPLAY="$DISPLAY" PATH="$PATH" WLR_BACKENDS=x11 WLR_RENDERER=pixman \
            WLR_LIBINPUT_NO_DEVICES=1 sway -c "$desktop_dir/config" >"$desktop_dir/log" 2>&1 &
        desktop_pid=$!
        note_started "-$desktop_pid"
        wait_until 30 sway_ready && kill -0 "$desktop_pid" 2>/dev/null
        ;;
    *) return 1 ;;
    esac
}

desktop_stop() {
    [[ -n ${desktop_pid:-} ]] || return 0
    kill -- "-$desktop_pid" 2>/dev/null || true
    wait_until 3 eval '! kill -0 -- "-$desktop_pid" 2>/dev/null' ||
        kill -KILL -- "-$desktop_pid" 2>/dev/null || true
    wait "$desktop_pid" 2>/dev/null || true
    desktop_pid=""
}

# desktop_launch <log> <program> [args...]: starts the program on the desktop
# and waits for its first window; sets app_pid.
desktop_launch() {
    local log=$1
    shift
    case $desktop in
    sway | sway-xwayland)
        local platform=wayland
        [[ $desktop == sway-xwayland ]] && platform=xcb
        # Started by sway, it has sway's user and surroundings, as from a menu.
        app_pid=""
        swaymsg_ exec "exec env QT_QPA_PLATFORM=$platform $(printf '%q ' "$@") >$(printf '%q' "$log") 2>&1" \
            >/dev/null
        wait_until 20 sway_app_found
        note_started "$app_pid"
        ;;
    *)
        env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$desktop_dir/runtime" \
            "$@" >"$log" 2>&1 &
        app_pid=$!
        note_started "$app_pid"
        wait_until 20 eval '[[ -n $(desktop_windows) ]] || ! kill -0 "$app_pid" 2>/dev/null'
        ;;
    esac
    [[ -n $app_pid ]] && kill -0 "$app_pid" 2>/dev/null && [[ -n $(desktop_windows) ]]
}
sway_views() {
    swaymsg_ -t get_tree | jq -r '.. | objects | select(.pid? != null and .visible == true)
        | select(.app_id == "tubebridge" or .window_properties.class? == "tubebridge")
        | "\(.pid) \(.id)"'
}
sway_app_found() {
    app_pid=$(sway_views | awk 'NR == 1 {print $1}')
    [[ -n $app_pid ]]
}

# desktop_windows: the program's windows on screen, the oldest first.
desktop_windows() {
    case $desktop in
    sway | sway-xwayland) sway_views | awk -v pid="$app_pid" '$1 == pid {print $2}' | sort -n ;;
    *)
        local mine w
        mine=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null || true)
        # Windows of others in the list (a message not yet shown counts as
        # one) are left out; the list's last one must not fail the whole.
        for w in $(xprop -root _NET_CLIENT_LIST 2>/dev/null | sed 's/.*# //; s/,//g'); do
            if grep -qx "$((w))" <<<"$mine"; then echo "$((w))"; fi
        done
        ;;
    esac
}

# desktop_focused: the window that has the keyboard. A program on Xwayland
# has it once Xwayland has given it the X input focus too, which sway asks of
# Xwayland after its own focus has moved: keys typed in between go to the
# window that had the X focus before.
desktop_focused() {
    case $desktop in
    sway) swaymsg_ -t get_tree | jq -r '.. | objects | select(.focused? == true) | .id' ;;
    sway-xwayland)
        local id="" window=""
        read -r id window < <(swaymsg_ -t get_tree |
            jq -r '.. | objects | select(.focused? == true) | "\(.id) \(.window)"') || true
        if [[ -n $window && $(xwayland_focus) == "$window" ]]; then echo "$id"; fi
        ;;
    *) xdotool getwindowfocus 2>/dev/null || true ;;
    esac
}

# desktop_geometry <window>: "x y width height" of its client area on the X
# screen (on a bare X server too, where no desktop was started).
desktop_geometry() {
    case ${desktop:-} in
    sway | sway-xwayland)
        swaymsg_ -t get_tree | jq -r --argjson id "$1" '.. | objects | select(.id? == $id)
            | "\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height)"'
        ;;
    *)
        xwininfo -id "$1" | awk -F: '/Absolute upper-left X/ {x = $2 + 0}
            /Absolute upper-left Y/ {y = $2 + 0} /Width/ {w = $2 + 0} /Height/ {h = $2 + 0}
            END {print x, y, w, h}'
        ;;
    esac
}

# xwayland_focus: the X window that has the input focus on the program's
# Xwayland display, which lets only the desktop's user in.
xwayland_focus() {
    local display
    display=$(tr '\0' '\n' <"/proc/$app_pid/environ" 2>/dev/null | sed -n 's/^DISPLAY=//p')
    if [[ -n $display ]]; then
        as_desktop_user env DISPLAY="$display" xdotool getwindowfocus 2>/dev/null || true
    fi
}

# desktop_close <window>: closes it as its close box does.
desktop_close() {
    case $desktop in
    sway | sway-xwayland) swaymsg_ "[con_id=$1] kill" >/dev/null ;;
    *) wmctrl -i -c "$1" ;;
    esac
}
