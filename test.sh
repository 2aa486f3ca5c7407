#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit tests through ctest,
# then the whole-program tests (the game binary under Xvfb, driven with real X input).
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
build=$top/build
"$top/tools/build.sh" "$build"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
"$top/tests/e2e/run-all.sh" "$build"
