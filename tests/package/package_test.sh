#!/usr/bin/env bash
# The Debian package as users get it: built with CPack, checked with the
# distribution's own tools, unpacked into a folder made read-only, and started
# from its desktop entry by an ordinary user on a private X server;
# "Calculate" must give the worked example's results and "End" must save the
# sixteen fields into that user's configuration folder. Under CI (CI=true) the
# package is also installed with apt-get, started the same way and removed
# again; outside CI nothing is installed.
#
# Packages built on another release (TUBEBRIDGE_OTHER_DEBS, paths separated
# by blanks: in CI the Debian 12 build's, tested on Debian 13) are started
# the same way, unpacked and, under CI, installed.
#
# Usage: package_test.sh <build folder> <version>
# Exit status: 0 passed, 1 failed, 77 skipped (a needed tool is missing).
set -euo pipefail

build=$(cd "${1:?usage: package_test.sh <build folder> <version>}" && pwd)
version=${2:?usage: package_test.sh <build folder> <version>}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../support/xserver.sh
source "$here/../support/xserver.sh"
readonly app_id=org.tubebridge.Tubebridge

skip_without cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli \
    Xvfb xdotool xwininfo setpriv import convert update-mime-database update-desktop-database \
    xdg-open mimetype

work=$(mktemp -d "${TMPDIR:-/tmp}/tubebridge-package.XXXXXX")
chmod 755 "$work"
app_pid=""
installed=no
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
cleanup() {
    local rc=$?
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
    xserver_stop
    if [[ $installed == yes ]]; then
        apt-get remove -y -qq --purge tubebridge >/dev/null 2>&1 || rc=1
    fi
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
    exit "$rc"
}
trap cleanup EXIT

# Run by the superuser, the program runs as nobody: an ordinary user.
as_user=()
if [[ $(id -u) -eq 0 ]]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

# laid_out <window>: the window shows its first layout, which keys must not
# come before.
laid_out() {
    local x y w h
    read -r x y w h <<<"$(desktop_geometry "$1")"
    import -window root "$work/shot.png"
    laid_out_in "$work/shot.png" "$x" "$y" "$w" "$h"
}

# start_and_end <desktop entry> <PATH>: starts the program the way a desktop
# does, from the entry's Exec line, presses "Calculate" and then "End" with the
# keyboard and checks the settings file in a fresh configuration folder of the
# user's own: the first run's worked example with its results.
start_and_end() {
    local entry=$1 path=$2 home exec_line window
    home=$(mktemp -d "$work/home.XXXXXX")
    mkdir -m 700 "$home/runtime"
    [[ $(id -u) -eq 0 ]] && chown -R nobody:nogroup "$home"
    exec_line=$(sed -n 's/^Exec=//p' "$entry")
    [[ -n $exec_line ]] || fail "$entry has no Exec line"
    # shellcheck disable=SC2086 # the Exec line is split into words, as a desktop does,
    # which leaves out %f when it opens no file
    "${as_user[@]}" env -i HOME="$home" PATH="$path" DISPLAY="$DISPLAY" LANG=C.UTF-8 \
        XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" \
        ${exec_line/ %f/} >"$work/program.log" 2>&1 &
    app_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$app_pid" | head -n 1) ||
        fail "no window from '$exec_line' (see its output: $(cat "$work/program.log"))"
    wait_until 10 laid_out "$window" || fail "the window was not laid out"
    xdotool windowfocus --sync "$window"
    # From field 0 the tab order reaches "Calculate" after 16 fields and the
    # indicator, and "End" one further; "Calculate" leaves the focus on field 0.
    xdotool key --delay 15 $(printf 'Tab %.0s' {1..17}) space $(printf 'Tab %.0s' {1..18}) space
    wait_until 15 eval '! kill -0 "$app_pid" 2>/dev/null' || fail "'End' did not end the program"
    wait "$app_pid" || fail "the program ended with status $?"
    app_pid=""

    local saved=$home/config/tubebridge/Tubebridge.dat
    [[ -f $saved ]] || fail "no settings file in the user's configuration folder ($saved)"
    [[ $(tr -cd '\n' <"$saved" | wc -c) -eq 16 && $(tr -cd '\r' <"$saved" | wc -c) -eq 16 ]] ||
        fail "the saved settings are not sixteen CR LF lines: $(od -c "$saved" | head -n 5)"
    local fields
    fields=$(sed -n '1p; 6,8p' "$saved" | tr -d '\r' | paste -sd ' ')
    [[ $fields == "400 13.568 7.225 51.254" ]] ||
        fail "saved: field 0 and the results $fields, not the worked example's 400 13.568 7.225 51.254"
}

# Built, and checked as the distribution checks packages.
(cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1 || fail "cpack failed: $(tail "$work/cpack.log")"
deb=$build/tubebridge_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || fail "no package at $deb"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "the package's version is not $version"
[[ $(dpkg-deb -f "$deb" Depends) == *libqt6widgets6* ]] ||
    fail "the dependencies were not worked out from the libraries: $(dpkg-deb -f "$deb" Depends)"
root=$work/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/tubebridge "usr/share/applications/$app_id.desktop" \
    "usr/share/icons/hicolor/32x32/apps/$app_id.png" "usr/share/metainfo/$app_id.metainfo.xml" \
    "usr/share/mime/packages/$app_id.xml" \
    usr/share/doc/tubebridge/copyright usr/share/doc/tubebridge/changelog.gz; do
    [[ -f $root/$f ]] || fail "the package lacks /$f"
done
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" ||
    fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$work/as.log" 2>&1 ||
    fail "appstreamcli rejects the metainfo: $(cat "$work/as.log")"
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 ||
    fail "lintian reports errors: $(grep '^E:' "$work/lintian.log" || cat "$work/lintian.log")"

# Unpacked into a read-only folder: the settings go to the user's own folder.
chmod -R a-w "$root"
xserver_start 150 199 1280x1024 "$work/xvfb.log" || fail "no free X display between :150 and :199"
start_and_end "$root/usr/share/applications/$app_id.desktop" "$root/usr/bin:/usr/bin:/bin"
[[ ! -e $root/usr/bin/Tubebridge.dat ]] || fail "a settings file appeared beside the program"
echo "unpacked package: started from its desktop entry, calculated, saved into the user's folder"

# A double-click on a design: with the package's file type and desktop entry
# in the caches that desktops read (built in a folder of the test's own, as
# the system's triggers build them), xdg-open starts the program on the
# design, named in the title bar, and "End" saves the design and nothing else.
xdg=$work/xdg
mkdir -p "$xdg/mime/packages" "$xdg/applications"
cp "$root/usr/share/mime/packages/$app_id.xml" "$xdg/mime/packages/"
cp "$root/usr/share/applications/$app_id.desktop" "$xdg/applications/"
XDG_DATA_DIRS=$xdg update-mime-database "$xdg/mime"
update-desktop-database "$xdg/applications"
home=$(mktemp -d "$work/home.XXXXXX")
design=$home/design.tubebridge
printf '%s\r\n' 400 60 4000 200 50 "" "" "" 0 360 7 5 -300 300 7 5 >"$design"
mkdir -m 700 "$home/runtime"
[[ $(id -u) -eq 0 ]] && chown -R nobody:nogroup "$home"
"${as_user[@]}" env -i HOME="$home" PATH="$root/usr/bin:/usr/bin:/bin" DISPLAY="$DISPLAY" \
    LANG=C.UTF-8 XDG_DATA_DIRS="$xdg" XDG_RUNTIME_DIR="$home/runtime" \
    xdg-open "$design" >"$work/xdg-open.log" 2>&1 &
app_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^design\.tubebridge - Tubebridge$' |
    head -n 1) || fail "xdg-open showed no window of the design: $(cat "$work/xdg-open.log")"
wait_until 10 laid_out "$window" || fail "the design's window was not laid out"
xdotool windowfocus --sync "$window"
# shellcheck disable=SC2046 # Tab x 17 to "Calculate", Tab x 18 from field 0 to "End"
xdotool key --delay 15 $(printf 'Tab %.0s' {1..17}) space $(printf 'Tab %.0s' {1..18}) space
wait_until 15 eval '! kill -0 "$app_pid" 2>/dev/null' || fail "'End' did not end the program"
wait "$app_pid" || fail "xdg-open ended with status $?"
app_pid=""
[[ $(sed -n '1p; 6,8p; 16p' "$design" | tr -d '\r' | paste -sd ' ') == "400 13.568 7.225 51.254 5" ]] ||
    fail "the design saved: $(cat -A "$design")"
[[ ! -e $home/.config/tubebridge ]] || fail "opening a design wrote the settings file"
echo "unpacked package: xdg-open opened a design, which End saved"

# Built elsewhere: unpacked and started the same way.
read -r -a others <<<"${TUBEBRIDGE_OTHER_DEBS:-}"
for other in "${others[@]}"; do
    [[ $(dpkg-deb -f "$other" Package) == tubebridge ]] || fail "$other is not a tubebridge package"
    other_root=$(mktemp -d "$work/other.XXXXXX")
    chmod 755 "$other_root"
    dpkg-deb -x "$other" "$other_root"
    chmod -R a-w "$other_root"
    start_and_end "$other_root/usr/share/applications/$app_id.desktop" "$other_root/usr/bin:/usr/bin:/bin"
    echo "unpacked $other: started from its desktop entry, calculated, saved"
done

[[ ${CI:-} == true ]] || exit 0
export DEBIAN_FRONTEND=noninteractive
# install_and_start <package>: installed with apt-get, as a user installs it,
# started from the installed desktop entry, and removed again.
install_and_start() {
    if dpkg-query -W -f='${Status}' tubebridge 2>/dev/null | grep -q 'install ok installed'; then
        fail "tubebridge is installed already; this test installs and removes its own package"
    fi
    installed=yes
    apt-get install -y -qq --no-install-recommends "$1" >"$work/apt.log" 2>&1 ||
        fail "apt-get could not install $1: $(tail "$work/apt.log")"
    start_and_end "/usr/share/applications/$app_id.desktop" /usr/local/bin:/usr/bin:/bin
    [[ ! -e /usr/bin/Tubebridge.dat ]] || fail "a settings file appeared in /usr/bin"
    # The system's caches, rebuilt by the triggers, open designs with it.
    grep -q '^[0-9]*:application/x-tubebridge:\*\.tubebridge$' /usr/share/mime/globs2 ||
        fail "the system's MIME cache has no *.tubebridge"
    grep -qx "application/x-tubebridge=$app_id.desktop;" /usr/share/applications/mimeinfo.cache ||
        fail "the system's desktop cache does not open designs with $app_id"
    apt-get remove -y -qq --purge tubebridge >"$work/apt.log" 2>&1 ||
        fail "apt-get could not remove $1: $(tail "$work/apt.log")"
    installed=no
    ! grep -q 'application/x-tubebridge' /usr/share/mime/globs2 ||
        fail "the system's MIME cache still has the designs' type after the removal"
    echo "installed $1: started from its desktop entry, calculated, saved; removed"
}
install_and_start "$deb"
for other in "${others[@]}"; do
    install_and_start "$other"
done
