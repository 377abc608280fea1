#!/usr/bin/env bash
# Runs a test program as an unprivileged user when the test run is root (CI
# is), so that file permissions bind it as they bind a user; otherwise runs it
# as it is. The program is copied into a home of that user's own first, since
# the build folder may lie where nobody else may enter.
#
# Usage: unprivileged.sh <program> [arguments...]
set -euo pipefail

if [[ $(id -u) -ne 0 ]]; then
    exec "$@"
fi

source=$1
shift
home=$(mktemp -d "${TMPDIR:-/tmp}/tubebridge-user.XXXXXX")
trap 'rm -rf "$home"' EXIT
program=$home/$(basename "$source")
cp "$source" "$program"
mkdir -m 700 "$home/runtime"
chmod 755 "$home" "$program"
chown -R nobody:nogroup "$home"
cd "$home"
status=0
setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env HOME="$home" XDG_RUNTIME_DIR="$home/runtime" TMPDIR=/tmp "$program" "$@" || status=$?
exit "$status"
