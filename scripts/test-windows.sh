#!/usr/bin/env bash
# The Windows build's tests, under Wine: installs what they need, cross-builds
# (scripts/build-windows.sh; the first run also builds the Qt for it), and
# runs every test through CTest: the unit tests under Wine, then the
# installer and the portable zip, made by CPack, read and tried under Wine on
# a private Xvfb display. Says how long each step took.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)
took() {
    echo "test-windows.sh: $1 took $(($(date +%s) - started)) s"
    started=$(date +%s)
}
scripts/install-deps.sh xvfb xdotool x11-utils imagemagick openbox wmctrl icoutils unzip nsis clang-tidy
took "installing the test tools"
scripts/build-windows.sh
took "the build (with the Qt for Windows, when it was not cached)"
status=0
ctest --test-dir build-windows --output-on-failure --timeout 300 || status=$?
took "the tests"
exit "$status"
