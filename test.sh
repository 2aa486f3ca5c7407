#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit tests through ctest,
# the same unit tests again built with AddressSanitizer and UndefinedBehaviorSanitizer, then the
# whole-program tests (the game binary under Xvfb, driven with real X input).
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
build=$top/build
"$top/tools/build.sh" "$build"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"

sanitize=$build/sanitize
cmake -S "$top" -B "$sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANDVOLT_SANITIZE=ON \
    -DSANDVOLT_ENGINE_DIR="$build/engine/irrlicht" > "$build/cmake-sanitize.log" 2>&1 \
    || { cat "$build/cmake-sanitize.log"; exit 1; }
cmake --build "$sanitize" -j"$(nproc)"
ctest --test-dir "$sanitize" --output-on-failure -j"$(nproc)"

"$top/tests/e2e/run-all.sh" "$build"
