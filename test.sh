#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit tests through ctest,
# the same unit tests again built with AddressSanitizer and UndefinedBehaviorSanitizer (leak
# checking on), the fuzz targets over their corpora and for a bounded time each, then the
# whole-program tests (the game binary under Xvfb, driven with real X input). Each stage runs its
# tests side by side; the stages run one after another, so that the busy fuzzers do not slow the
# games of the timed whole-program tests.
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

# The fuzz targets, by clang against an engine library built the same way from the same source.
fuzz=$build/fuzz
if [ ! -d "$build/engine-fuzz/pristine" ] && [ -d "$build/engine/pristine" ]; then
  mkdir -p "$build/engine-fuzz" && cp -a "$build/engine/pristine" "$build/engine-fuzz/"
fi
"$top/tools/build-engine.sh" "$build/engine-fuzz" fuzz
cmake -S "$top" -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DSANDVOLT_FUZZ=ON -DSANDVOLT_ENGINE_DIR="$build/engine-fuzz/irrlicht" \
    > "$build/cmake-fuzz.log" 2>&1 || { cat "$build/cmake-fuzz.log"; exit 1; }
cmake --build "$fuzz" -j"$(nproc)"
FUZZ_RUN_DIR="$build/run" "$top/tools/fuzz.sh" "$fuzz" "${SANDVOLT_FUZZ_SECONDS:-15}"

"$top/tests/e2e/run-all.sh" "$build"
