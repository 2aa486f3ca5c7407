#!/usr/bin/env bash
# Runs every whole-program test (test_*.sh beside this script) against a built run folder.
# usage: tests/e2e/run-all.sh BUILD_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build folder}" && pwd)
export E2E_RUN=$build/run E2E_XCLOSE=$build/e2e/xclose E2E_HERE=$here
# The test missions, for tests that put one in the place of a game mission.
export E2E_FIXTURES=$build/tests/fixtures/world
[ -x "$E2E_RUN/sandvolt" ] || { echo "no game binary in $E2E_RUN"; exit 1; }
[ -x "$E2E_XCLOSE" ] || { echo "no xclose helper in $build/e2e"; exit 1; }

failed=()
count=0
for test in "$here"/test_*.sh; do
    name=$(basename "$test" .sh)
    count=$((count + 1))
    echo "=== $name"
    if bash "$test"; then
        echo "--- passed: $name"
    else
        echo "--- FAILED: $name"
        failed+=("$name")
    fi
done
echo "whole-program tests: $((count - ${#failed[@]})) of $count passed"
[ ${#failed[@]} -eq 0 ] || { echo "failed: ${failed[*]}"; exit 1; }
