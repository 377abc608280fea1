#!/usr/bin/env bash
# The Qt that the Windows build links: Debian's own qt6-base source package,
# cross-built with MinGW-w64 once and kept in a cache folder; later runs reuse it.
#
#   scripts/windows-qt.sh            builds the Qt unless the cache holds it
#   scripts/windows-qt.sh --prefix   prints the folder it is (or will be) in
#
# The folder is /var/cache/tubebridge/qt6-mingw-<version>_print (or
# ${XDG_CACHE_HOME:-~/.cache}/tubebridge/... when /var/cache may not be
# written; TUBEBRIDGE_CACHE overrides either), where <version> is that of the
# qt6-base source package. It is the same version as the host Qt tools in
# qt6-base-dev-tools, which building against it needs.
#
# Only Debian's packages are used: the source comes with `apt-get source`,
# from deb-src entries for the Debian mirror and suites this machine already
# uses, kept in a private apt state so the system's apt setup is not changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$root/cmake/mingw-w64-x86_64.cmake

cache_root() {
    if [ -n "${TUBEBRIDGE_CACHE:-}" ]; then
        echo "$TUBEBRIDGE_CACHE"
    elif mkdir -p /var/cache/tubebridge 2>/dev/null && [ -w /var/cache/tubebridge ]; then
        echo /var/cache/tubebridge
    else
        echo "${XDG_CACHE_HOME:-$HOME/.cache}/tubebridge"
    fi
}

if ! qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null); then
    "$root/scripts/install-deps.sh" qt6-base-dev
    qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
fi
# The suffix names what this Qt holds beyond the first one made (print
# support), so that an older cached Qt is never taken for it.
prefix=$(cache_root)/qt6-mingw-${qt_version}_print
# Written last: a prefix without it is an interrupted build and is redone.
complete=$prefix/tubebridge-qt-build.txt

if [ "${1:-}" = --prefix ]; then
    echo "$prefix"
    exit 0
fi
if [ -f "$complete" ]; then
    echo "Qt for Windows: $prefix (cached)"
    exit 0
fi

"$root/scripts/install-deps.sh" cmake ninja-build perl dpkg-dev xz-utils \
    qt6-base-dev qt6-base-dev-tools \
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev

work=$prefix.build
# An interrupted build is continued where it stopped; anything else starts
# from the source package.
if [ -f "$work/build/build.ninja" ] && [ -f "$work/configure-seconds" ]; then
    echo "Continuing the Qt build in $work"
else
    rm -rf "$prefix" "$work"
    mkdir -p "$work/apt/lists/partial" "$work/apt/cache" "$work/apt/sources.list.d"

    # deb-src twins of the machine's Debian entries for its own release: the
    # main suite, its updates and security suites.
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        perl -00 -ne 'if (/^Types:(.*\s)?deb(\s|$)/m && /^Suites:.*\s'"$codename"'(-\w+)?(\s|$)/m) {
            s/^Types:.*$/Types: deb-src/m; print "$_\n" }' "$f"
    done >"$work/apt/sources.list.d/deb-src.sources"
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        sed -nE "s/^deb([[:space:]].*[[:space:]]$codename(-[a-z]+)?[[:space:]].*)/deb-src\1/p" "$f"
    done >"$work/apt/sources.list"
    apt_private=(-o "Dir::Etc::SourceList=$work/apt/sources.list"
        -o "Dir::Etc::SourceParts=$work/apt/sources.list.d"
        -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache")
    apt-get "${apt_private[@]}" -q update
    (cd "$work" && apt-get "${apt_private[@]}" -q source --only-source "qt6-base=$qt_version")
    src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*')

    # Core, Gui, Widgets, PrintSupport and Test with the windows platform
    # plugin and the windowsvista style (FreeType stays: the offscreen platform plugin, which
    # the GUI tests run on, needs it). Switches the source needs on MinGW:
    # Debian's repacked source has no wintab header (tablet events);
    # qwindows.dll fails to link with DirectWrite 3 / Direct2D in Qt 6.4, and
    # without Direct2D, Qt6PrintSupport.dll fails to link with DirectWrite
    # (its font engine is built only with both; GDI draws the fonts); and
    # without OpenGL, "dynamic" OpenGL must go too, or qwindowswindow.cpp
    # does not compile.
    host_cmake=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake
    start=$(date +%s)
    nice -n 10 cmake -S "$src" -B "$work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake" \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DINPUT_opengl=no -DFEATURE_vulkan=OFF \
        -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF \
        -DFEATURE_concurrent=OFF -DFEATURE_icu=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
        -DFEATURE_system_png=OFF -DFEATURE_system_harfbuzz=OFF \
        -DFEATURE_jpeg=OFF \
        -DFEATURE_tabletevent=OFF \
        -DFEATURE_directwrite=OFF -DFEATURE_directwrite3=OFF -DFEATURE_direct2d=OFF
    echo $(($(date +%s) - start)) >"$work/configure-seconds"
fi
start=$(date +%s)
nice -n 10 cmake --build "$work/build" --parallel 2
build_seconds=$(($(date +%s) - start))
cmake --install "$work/build"
# MinGW's runtime, which every DLL of this Qt needs, beside them (stripped:
# Debian's libstdc++-6.dll carries 20 MB of symbols): one folder then holds
# all that a program built with it loads.
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    cp "$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")")" "$prefix/bin/"
    x86_64-w64-mingw32-strip --strip-unneeded "$prefix/bin/$dll"
done

{
    echo "qt6-base $qt_version from Debian's source package, cross-built for x86_64-w64-mingw32"
    echo "configure: $(cat "$work/configure-seconds") s"
    echo "build (its last run, when continued): $build_seconds s"
} >"$complete.tmp"
mv "$complete.tmp" "$complete"
rm -rf "$work"
echo "Qt for Windows: $prefix"
cat "$complete"
