#!/usr/bin/env bash
# Installs what is missing, then configures and builds the game, its content and its tests.
# usage: tools/build.sh BUILD_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build folder}
"$top/tools/setup.sh" "$build"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$build/cmake-configure.log" 2>&1 \
    || { cat "$build/cmake-configure.log"; exit 1; }
cmake --build "$build" -j"$(nproc)"
