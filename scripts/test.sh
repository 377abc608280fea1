#!/usr/bin/env bash
# One command from a fresh clone: install what is missing, build, run every
# test. With --unit, only the unit tests (Qt Test suites, fuzz corpus
# replays, the include check), needing nothing but the compiler, CMake,
# Ninja and Qt (with the fonts the tests measure).
#
#   scripts/test.sh [--unit]
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)
took() {
    echo "test.sh: $1 took $(($(date +%s) - started)) s"
    started=$(date +%s)
}
if [[ ${1:-} == --unit ]]; then
    scripts/build.sh unit_tests
    took "the build"
    status=0
    ctest --test-dir build --output-on-failure --timeout 300 -L unit || status=$?
    took "the unit tests"
    exit "$status"
fi
scripts/install-deps.sh xvfb xdotool x11-utils imagemagick openbox \
    dpkg-dev file lintian desktop-file-utils appstream shared-mime-info xdg-utils \
    libfile-mimeinfo-perl poppler-utils librsvg2-bin libxml2-utils \
    kwin-x11 dbus-daemon wmctrl sway xwayland jq qt6-wayland \
    orca speech-dispatcher at-spi2-core procps strace clang-tidy \
    xfce4-settings xclip qt6-gtk-platformtheme
took "installing the test tools"
scripts/build.sh
took "the build"
status=0
ctest --test-dir build --output-on-failure --timeout 300 || status=$?
took "the tests"
exit "$status"
