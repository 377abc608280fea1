#!/usr/bin/env bash
# What the Windows packages hold, read from the files themselves:
# - the portable zip holds the program, the licences and exactly the DLLs it
#   loads: every DLL that tubebridge.exe or a Qt plugin imports is in the
#   package or is one of Windows' own (in Wine's system32, or an API set), and
#   every DLL in the package is imported by them (objdump -p), so no test or
#   unused DLL comes along;
# - the program and the installer carry the icon (the desktop's icon, pixel
#   for pixel) and version information of this version (wrestool).
#
# Usage: package_contents_test.sh <setup.exe> <portable.zip> <version> <Wine prefix>
# Exit status: 0 passed, 1 failed, 77 skipped (a tool is missing).
set -euo pipefail
setup=${1:?usage: package_contents_test.sh <setup.exe> <zip> <version> <Wine prefix>}
zip=${2:?} version=${3:?} prefix=${4:?}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../support/xserver.sh
source "$here/../support/xserver.sh"
skip_without unzip wrestool icotool compare x86_64-w64-mingw32-objdump strings

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
work=$(mktemp -d "${TMPDIR:-/tmp}/tubebridge-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

[[ $(basename "$setup") == "Tubebridge-$version-setup.exe" ]] || fail "the installer is named $setup"
[[ $(basename "$zip") == "Tubebridge-$version-win64.zip" ]] || fail "the zip is named $zip"

# The zip unpacks into one folder named like it.
unzip -q "$zip" -d "$work/zip"
top=$work/zip/Tubebridge-$version-win64
[[ -d $top && $(ls -A "$work/zip") == "Tubebridge-$version-win64" ]] ||
    fail "the zip does not hold one folder Tubebridge-$version-win64: $(ls -A "$work/zip")"
files=$(cd "$top" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
expected="GPL-3.txt
LGPL-3.txt
LICENSE.txt
Qt6Core.dll
Qt6Gui.dll
Qt6PrintSupport.dll
Qt6Widgets.dll
THIRD-PARTY.txt
libgcc_s_seh-1.dll
libstdc++-6.dll
libwinpthread-1.dll
platforms/qwindows.dll
styles/qwindowsvistastyle.dll
tubebridge.exe"
[[ $files == "$expected" ]] || fail "the zip holds:
$files
expected:
$expected"

# Imports, case-insensitively as Windows finds them: from the program and
# the plugins Qt loads, through the DLLs of the package they import.
imports() { x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print tolower($3)}'; }
declare -A packaged=() reached=()
while read -r f; do
    [[ $f == *.dll ]] && packaged[$(basename "${f,,}")]=$f
done <<<"$files"
system32=$prefix/drive_c/windows/system32
[[ -d $system32 ]] || fail "no Wine prefix at $prefix to find Windows' own DLLs in"
queue=(tubebridge.exe platforms/qwindows.dll styles/qwindowsvistastyle.dll)
reached[qwindows.dll]=1
reached[qwindowsvistastyle.dll]=1
while ((${#queue[@]} > 0)); do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r dll; do
        if [[ -v packaged[$dll] ]]; then
            [[ -v reached[$dll] ]] || queue+=("${packaged[$dll]}")
            reached[$dll]=1
        elif [[ $dll == api-ms-win-* ]]; then
            : # an API set: a name Windows' loader maps to its own DLLs, no file
        elif [[ -z $(find "$system32" -maxdepth 1 -iname "$dll" -print -quit) ]]; then
            fail "$file imports $dll, which is neither in the package nor one of Windows' DLLs"
        fi
    done < <(imports "$top/$file")
done
for dll in "${!packaged[@]}"; do
    [[ -v reached[$dll] ]] || fail "${packaged[$dll]} is in the package, but nothing imports it"
done
echo "imports: every DLL in the package is needed, every DLL needed is there or Windows'"

# The icon: the same pixels as the desktop's 32 x 32 icon, in the program
# (its first icon) and in the installer.
for exe in "$top/tubebridge.exe" "$setup"; do
    name=$(basename "$exe")
    wrestool -x -t14 "$exe" >"$work/$name.ico" || fail "no icon in $name"
    icotool -x -w 32 -o "$work/$name-32.png" "$work/$name.ico" || fail "no 32 x 32 icon in $name"
    differ=$(compare -metric AE "$here/../../assets/org.tubebridge.Tubebridge.png" \
        "$work/$name-32.png" null: 2>&1 || true)
    [[ $differ == 0 ]] || fail "$name's icon differs from the desktop's in $differ pixels"
    # Version information: the strings of the version resource.
    wrestool -x --raw -t16 "$exe" | strings -el >"$work/$name.version"
    for key in ProductName ProductVersion FileVersion; do
        value=$(grep -A1 -x "$key" "$work/$name.version" | tail -n 1)
        case $key in
        ProductName) want=Tubebridge ;;
        *) want=$version ;;
        esac
        [[ $value == "$want" ]] || fail "$name's $key is '$value', not '$want'"
    done
done
echo "icon and version $version in the program and the installer"
echo "PASS"
