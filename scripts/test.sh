#!/usr/bin/env bash
# One command from a fresh clone: install what is missing, build, run every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh xvfb xdotool x11-utils imagemagick openbox \
    dpkg-dev file lintian desktop-file-utils appstream \
    kwin-x11 dbus-daemon wmctrl sway xwayland jq qt6-wayland \
    orca speech-dispatcher at-spi2-core procps
scripts/build.sh
ctest --test-dir build --output-on-failure --timeout 300
