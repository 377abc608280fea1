#!/usr/bin/env bash
# The graph's SVG files from the Windows build, run under Wine, equal those
# from the Linux build of the same source, byte for byte: one writer, one file.
#
# Usage: svg_same_as_linux.sh <wine> <Windows test_graph_export.exe> <Linux test_graph_export>
# Exit status: 0 the same, 1 not, 77 skipped (no Linux build beside this one).
set -euo pipefail
wine=${1:?} windows=${2:?} linux=${3:?}
[[ -x $linux ]] || { echo "no Linux build at $linux: skipped"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tubebridge-svg.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/linux" "$work/windows"
test_function=svgHoldsTheGraph
# The Linux run sees Qt's own variable names; Wine's environment renames them.
QT_QPA_PLATFORM=offscreen TUBEBRIDGE_KEEP_SVG="$work/linux" \
    "$linux" "$test_function" >"$work/linux.log" 2>&1 || { cat "$work/linux.log"; exit 1; }
TUBEBRIDGE_KEEP_SVG="Z:$work/windows" "$wine" "$windows" "$test_function" \
    >"$work/windows.log" 2>&1 || { cat "$work/windows.log"; exit 1; }
shopt -s nullglob
status=0
for file in "$work/linux"/*.svg; do
    name=$(basename "$file")
    if ! cmp -s "$file" "$work/windows/$name"; then
        echo "$name differs between Linux and Windows:"
        diff <(tr '>' '\n' <"$file") <(tr '>' '\n' <"$work/windows/$name") | head -n 20 || true
        status=1
    fi
done
svgs=("$work/linux"/*.svg)
((${#svgs[@]} > 0)) || { echo "the Linux run kept no SVG"; status=1; }
((status == 0)) && echo "the same: $(cd "$work/linux" && echo *.svg)"
exit "$status"
