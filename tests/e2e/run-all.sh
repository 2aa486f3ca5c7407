#!/usr/bin/env bash
# Runs every whole-program test (test_*.sh beside this script) against a built run folder, several
# side by side: each has its own Xvfb and scratch folder. Each test writes to a log of its own; a
# line per test tells how it ended, and a failed test's log is printed whole when it ends.
# The tests that took longest last time start first (their times are kept in the build folder).
# usage: [E2E_JOBS=N] tests/e2e/run-all.sh BUILD_DIR [NAME...]   (NAME: test_x, default all)
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build folder}" && pwd)
shift
export E2E_RUN=$build/run E2E_XCLOSE=$build/e2e/xclose E2E_XPIXEL=$build/e2e/xpixel E2E_HERE=$here
# The test missions, for tests that put one in the place of a game mission.
export E2E_FIXTURES=$build/tests/fixtures/world
[ -x "$E2E_RUN/sandvolt" ] || { echo "no game binary in $E2E_RUN"; exit 1; }
[ -x "$E2E_XCLOSE" ] || { echo "no xclose helper in $build/e2e"; exit 1; }
[ -x "$E2E_XPIXEL" ] || { echo "no xpixel helper in $build/e2e"; exit 1; }

logs=$build/e2e/logs
times=$build/e2e/times
mkdir -p "$logs"
# Half as many games as cores by default: each renders in software, and the tests time their
# checks from what the game shows, so that the others' load moves nothing they judge.
cores=$(nproc)
jobs=${E2E_JOBS:-$((cores > 1 ? cores / 2 : 1))}

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for test in "$here"/test_*.sh; do names+=("$(basename "$test" .sh)"); done
fi
# Longest first; a test without a time yet counts as long.
declare -A last=()
[ -f "$times" ] && while read -r name seconds; do last[$name]=$seconds; done < "$times"
mapfile -t order < <(for name in "${names[@]}"; do echo "${last[$name]:-100000} $name"; done |
    sort -k1,1nr -k2 | cut -d' ' -f2)

declare -A running=() started=()
failed=()
finish() {
    local pid=$1 code=$2 name=${running[$1]}
    local took=$(($(date +%s) - ${started[$1]}))
    unset "running[$pid]"
    last[$name]=$took
    if [ "$code" -eq 0 ]; then
        echo "--- passed: $name ($took s)"
    else
        echo "--- FAILED: $name ($took s), its output:"
        cat "$logs/$name.log"
        echo "--- end of $name"
        failed+=("$name")
    fi
}

begin=$(date +%s)
for name in "${order[@]}"; do
    while [ ${#running[@]} -ge "$jobs" ]; do
        wait -n -p done_pid; code=$?
        finish "$done_pid" "$code"
    done
    bash "$here/$name.sh" > "$logs/$name.log" 2>&1 &
    running[$!]=$name
    started[$!]=$(date +%s)
done
while [ ${#running[@]} -gt 0 ]; do
    wait -n -p done_pid; code=$?
    finish "$done_pid" "$code"
done

for name in "${!last[@]}"; do echo "$name ${last[$name]}"; done | sort > "$times"
echo "whole-program tests: $((${#order[@]} - ${#failed[@]})) of ${#order[@]} passed in $(($(date +%s) - begin)) s"
[ ${#failed[@]} -eq 0 ] || { echo "failed: ${failed[*]}"; exit 1; }
