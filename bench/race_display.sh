#!/usr/bin/env bash
# The race display's cost per frame on OpenGL under its own Xvfb (race_display_bench).
# usage: bench/race_display.sh [BUILD_DIR] [SECONDS] [MISSION...]   (defaults: ./build, 20, m01 m03)
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
shift $(( $# > 0 ? 1 : 0 ))
seconds=${1:-20}
shift $(( $# > 0 ? 1 : 0 ))
bench=$build/bench/race_display_bench
[ -x "$bench" ] || { echo "no $bench: build the project first"; exit 1; }
export E2E_RUN=$build/run E2E_XCLOSE=$build/e2e/xclose E2E_HERE=$here/../tests/e2e
. "$E2E_HERE/harness.sh"

e2e_begin display_bench 1024x768 || exit 1
"$bench" "$E2E_DIR" "$seconds" "$@"
status=$?
e2e_end
exit $status
