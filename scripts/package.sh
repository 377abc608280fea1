#!/usr/bin/env bash
# Builds the Debian package build/tubebridge_<version>_<arch>.deb with CPack,
# its dependencies worked out by dpkg-shlibdeps.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh dpkg-dev file
scripts/build.sh
cd build
cpack -G DEB
