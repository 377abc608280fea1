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
