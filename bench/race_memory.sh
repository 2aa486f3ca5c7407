#!/usr/bin/env bash
# The unchanged game's peak memory in a race with shadows 2 and bloom on, under Xvfb (llvmpipe) at
# 1024 x 768: through the menus to the race of each of two missions (by default m01, whose shadows
# are "NormalFixed", and m02, "Normal"), 4 s of each once the countdown is under way, Escape and
# Break, and the process's peak resident memory read at the end. The frames per second of those
# races come along (the drawing benchmark, race_draw_bench, has the full table).
# usage: bench/race_memory.sh [BUILD_DIR] [MISSION_A MISSION_B]   (missions as numbers 1 to 8)
# Prints "shadows 2 bloom 1: A_FPS B_FPS fps, peak P MB".
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/benchkit.sh"
bench_need_shim
missions=("${2:-1}" "${3:-2}")

e2e_begin bench_race_memory 1024x768 || exit 1
e2e_settings '<?xml version="1.0"?>
<Resolution X="1024" Y="768" />
<Fullscreen Value="0" />
<VSync Value="0" />
<Shadows Value="2" />
<PostProcessing Value="1" />
<Mission Value="Lqe490" />'
SWAPS=$E2E_SCRATCH/swaps
LD_PRELOAD=$shim SWAPCLOCK_FILE=$SWAPS SWAPCLOCK_ALL=1 e2e_launch
e2e_wait_window && e2e_focus || e2e_fail "the window did not come up"
e2e_skip_splash; sleep 1
fps=()
for m in "${missions[@]}"; do
    e2e_click $MAIN_X $START_Y
    sleep 0.5
    e2e_click ${MISSION_X[$(((m - 1) % 4))]} ${MISSION_Y[$(((m - 1) / 4))]}
    sleep 4
    from=$(now_ns); sleep 4; to=$(now_ns)
    fps+=($(awk -v a="$from" -v b="$to" '$1 >= a && $1 < b { n++ } END { printf "%.1f\n", n * 1e9 / (b - a) }' "$SWAPS"))
    e2e_key Escape
    sleep 0.5
    e2e_click $MAIN_X $BREAK_Y
    sleep 0.5
done
peak=$(awk '/^VmHWM:/ { printf "%d\n", $2 / 1024 }' "/proc/$E2E_PID/status" 2> /dev/null)
e2e_quit
echo "shadows 2 bloom 1: ${fps[*]} fps, peak ${peak:-?} MB"
e2e_end
exit $E2E_FAILED
