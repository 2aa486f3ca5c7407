#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from its run folder.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
build=$top/build
"$top/tools/build.sh" "$build"
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo > /dev/null 2>&1; then
    echo "Sandvolt is built in $build/run but needs a graphical desktop to start: no X display${DISPLAY:+ at $DISPLAY}."
    exit 1
fi
cd "$build/run"
exec ./sandvolt
