#!/usr/bin/env bash
# The names in src/ follow the project's convention (.clang-tidy): clang-tidy's
# naming check over every source of src/ that this build compiles.
#
# A cross build names its compiler: clang-tidy then reads the sources for
# that compiler's target, with its C++ library's headers (not GCC's own
# intrinsics, which clang has its own of).
#
# Usage: check_naming.sh <build folder with compile_commands.json> <source folder> [cross compiler]
# Exit status: 0 passed, 1 a name breaks the convention, 77 skipped (no clang-tidy).
set -euo pipefail
build=$1
source=$2
command -v clang-tidy >/dev/null || {
    echo "SKIP: clang-tidy is not installed (scripts/test.sh installs it)"
    exit 77
}
cross=()
if (($# > 2)); then
    cross=(--extra-arg=--target="$("$3" -dumpmachine)")
    while read -r dir; do
        cross+=(--extra-arg=-isystem"$dir")
    done < <("$3" -E -x c++ - -v </dev/null 2>&1 |
        awk '/search starts here/ {f = 1; next} /End of search list/ {f = 0} f {print $1}' |
        grep -Ev '/lib/gcc/[^/]+/[^/]+/include(-fixed)?$')
fi
mapfile -t files < <(sed -n 's/^ *"file": "\(.*\/src\/.*\.cpp\)",\?$/\1/p' \
    "$build/compile_commands.json" | grep "^$source/src/" | sort -u)
((${#files[@]} > 0)) || {
    echo "FAIL: no source of src/ in $build/compile_commands.json"
    exit 1
}
if printf '%s\0' "${files[@]}" |
    xargs -0 -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet "${cross[@]}" 2>/dev/null \
        >"$build/naming.log"; then
    echo "${#files[@]} sources: every name follows the convention"
else
    grep -A3 "error:" "$build/naming.log"
    echo "FAIL: names that break the convention (.clang-tidy) above"
    exit 1
fi
