#!/usr/bin/env bash
# The race display's cost per frame on OpenGL under its own Xvfb (race_display_bench).
# usage: bench/race_display.sh [BUILD_DIR] [SECONDS] [MISSION...]   (defaults: ./build, 20, m01 m03)
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/benchkit.sh"
shift $(( $# > 0 ? 1 : 0 ))
seconds=${1:-20}
shift $(( $# > 0 ? 1 : 0 ))
bench=$build/bench/race_display_bench
[ -x "$bench" ] || { echo "no $bench: build the project first"; exit 1; }

e2e_begin display_bench 1024x768 || exit 1
"$bench" "$E2E_DIR" "$seconds" "$@"
status=$?
e2e_end
exit $status
