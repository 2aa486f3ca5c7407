#!/usr/bin/env bash
# Start-up and shut-down times of the unchanged game under Xvfb, median of several runs:
#   start-up:  process start to the first frame drawn (the first splash frame), to the mapping of
#              the game's window and to the moment its name reached the X server (the focus is
#              given then);
#   shut-down: the window manager's close message (sent in the menu) to the end of the process.
# usage: bench/startup.sh [BUILD_DIR] [RUNS]   (the build folder defaults to ./build, runs to 5)
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/benchkit.sh"
bench_need_shim
focuser=$build/bench/mapfocus
[ -x "$focuser" ] || { echo "no $focuser: build the project first"; exit 1; }
runs=${2:-5}

starts=() maps=() windows=() stops=()
for run in $(seq 1 "$runs"); do
    e2e_begin bench || exit 1
    e2e_settings '<?xml version="1.0"?>
<Resolution X="1280" Y="1024" />
<Fullscreen Value="0" />
<VSync Value="0" />'
    began=$(now_ns)
    # The splash draws only in an active window: the focus is given as soon as the window is
    # mapped and named, as a window manager would, rather than after a script's polling.
    "$focuser" Sandvolt 20 > "$E2E_SCRATCH/focus" &
    focusing=$!
    LD_PRELOAD=$shim SWAPCLOCK_FILE=$E2E_SCRATCH/first-frame e2e_launch
    wait "$focusing"
    read -r E2E_WINDOW mapped shown < "$E2E_SCRATCH/focus"
    [ -n "${E2E_WINDOW:-}" ] || e2e_fail "the window did not come up"
    e2e_skip_splash
    closing=$(now_ns)
    e2e_close
    # Polled finely here: the harness's own wait looks only every 100 ms.
    for _ in $(seq 1 3000); do kill -0 "$E2E_PID" 2> /dev/null || break; sleep 0.01; done
    ended=$(now_ns)
    e2e_wait_exit 1 || e2e_fail "the game did not end"
    if [ "$E2E_FAILED" -eq 0 ] && [ -s "$E2E_SCRATCH/first-frame" ]; then
        starts+=($(( ($(cat "$E2E_SCRATCH/first-frame") - began) / 1000000 )))
        maps+=($(( (mapped - began) / 1000000 )))
        windows+=($(( (shown - began) / 1000000 )))
        stops+=($(( (ended - closing) / 1000000 )))
        echo "run $run: window mapped after ${maps[-1]} ms, named after ${windows[-1]} ms, first frame after ${starts[-1]} ms, shut down in ${stops[-1]} ms"
    fi
    e2e_end
    E2E_FAILED=0
done
[ ${#starts[@]} -gt 0 ] || { echo "no run completed"; exit 1; }
echo "start-up to the window mapped:      median $(printf '%s\n' "${maps[@]}" | median) ms over ${#maps[@]} runs"
echo "start-up to the window named:       median $(printf '%s\n' "${windows[@]}" | median) ms over ${#windows[@]} runs"
echo "start-up to the first splash frame: median $(printf '%s\n' "${starts[@]}" | median) ms over ${#starts[@]} runs"
echo "shut-down after the close message:  median $(printf '%s\n' "${stops[@]}" | median) ms over ${#stops[@]} runs"
