#!/usr/bin/env bash
# Menu figures of the unchanged game under Xvfb (llvmpipe) at 1024 x 768, median of several runs:
#   frames per second of the main screen, the options hub and the graphics page, each over 4 s;
#   the time from the press on mission 1 to the first frame of its race (the loading screen's
#   500 ms and the mission load), and the load alone (the gap in the frames before the race).
# usage: bench/menu.sh [BUILD_DIR] [RUNS]   (the build folder defaults to ./build, runs to 3)
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/benchkit.sh"
bench_need_shim
runs=${2:-3}
park() { xdotool mousemove --window "$E2E_WINDOW" 1010 10; }

# Frames per second of what is on screen now, over 4 s.
measure_fps() {
    local from to
    park
    sleep 1
    from=$(now_ns)
    sleep 4
    to=$(now_ns)
    awk -v a="$from" -v b="$to" '$1 >= a && $1 < b { n++ } END { printf "%.1f\n", n * 1e9 / (b - a) }' "$SWAPS"
}

main_fps=() hub_fps=() graphics_fps=() to_race=() loads=()
for run in $(seq 1 "$runs"); do
    e2e_begin bench_menu 1024x768 || exit 1
    e2e_settings '<?xml version="1.0"?>
<Resolution X="1024" Y="768" />
<Fullscreen Value="0" />
<VSync Value="0" />
<Mission Value="qWz517" />'
    SWAPS=$E2E_SCRATCH/swaps
    LD_PRELOAD=$shim SWAPCLOCK_FILE=$SWAPS SWAPCLOCK_ALL=1 e2e_launch
    e2e_wait_window && e2e_focus || e2e_fail "the window did not come up"
    e2e_skip_splash; sleep 1
    main_fps+=($(measure_fps))
    e2e_click 512 463
    hub_fps+=($(measure_fps))
    e2e_click 512 292
    graphics_fps+=($(measure_fps))
    e2e_click 512 676
    e2e_click 512 676
    e2e_click 512 382
    sleep 1
    xdotool mousemove --window "$E2E_WINDOW" 136 223
    sleep 0.3
    pressed=$(now_ns)
    xdotool mousedown 1; sleep 0.2; xdotool mouseup 1
    sleep 8
    # The race's first frame ends the one long gap after the loading screen: the load.
    read -r first gap < <(awk -v a="$pressed" '$1 > a { if (prev && $1 - prev > best) { best = $1 - prev; at = $1 } prev = $1 }
                                             END { print at, best }' "$SWAPS")
    to_race+=($(( (first - pressed) / 1000000 )))
    loads+=($(( gap / 1000000 )))
    echo "run $run: main ${main_fps[-1]} fps, hub ${hub_fps[-1]} fps, graphics ${graphics_fps[-1]} fps," \
         "press to race ${to_race[-1]} ms (load ${loads[-1]} ms)"
    e2e_quit
    e2e_end
    E2E_FAILED=0
done
echo "main screen:          median $(printf '%s\n' "${main_fps[@]}" | median) fps over $runs runs"
echo "options hub:          median $(printf '%s\n' "${hub_fps[@]}" | median) fps"
echo "graphics page:        median $(printf '%s\n' "${graphics_fps[@]}" | median) fps"
echo "press to first race frame: median $(printf '%s\n' "${to_race[@]}" | median) ms" \
     "(of which the load: median $(printf '%s\n' "${loads[@]}" | median) ms)"
