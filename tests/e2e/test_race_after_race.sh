#!/usr/bin/env bash
# Race after race through the menus: with every mission open, Start, a mission, a few seconds of its
# race, Escape and Break, for each of the eight missions, round after round. The game's resident
# memory measured on the main screen after the last round is within a small margin of the memory
# after the first (which has loaded every mission's textures once); the game still ends cleanly.
# RACE_AFTER_RACE_ROUNDS sets the number of rounds (3).
. "$E2E_HERE/harness.sh"

ROUNDS=${RACE_AFTER_RACE_ROUNDS:-3}

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$E2E_PID/status" 2> /dev/null; }

e2e_begin race_after_race 1024x768 || exit 1
e2e_settings '<?xml version="1.0"?>
<Resolution X="1024" Y="768" />
<Fullscreen Value="0" />
<VSync Value="0" />
<Shadows Value="2" />
<PostProcessing Value="1" />
<Mission Value="Lqe490" />'
e2e_launch
e2e_wait_window && e2e_focus || { e2e_fail "the window did not come up"; e2e_end; exit 1; }

e2e_wait_main_screen

first= last=
for round in $(seq 1 "$ROUNDS"); do
    for m in 1 2 3 4 5 6 7 8; do
        e2e_click $MAIN_X $START_Y
        sleep 0.5
        e2e_click ${MISSION_X[$(((m - 1) % 4))]} ${MISSION_Y[$(((m - 1) / 4))]}
        # The loading screen's half second, the load, then the countdown under way.
        sleep 4
        e2e_key Escape
        sleep 0.5
        e2e_click $MAIN_X $BREAK_Y
        sleep 0.5
        kill -0 "$E2E_PID" 2> /dev/null || { e2e_fail "the game ended in round $round, mission $m"; break 2; }
    done
    sleep 1
    last=$(rss_kb)
    [ "$round" = 1 ] && first=$last
    echo "round $round: resident memory $((last / 1024)) MB"
done
grep -q "ERROR" <<< "$(e2e_stdout)" && e2e_fail "the game reported an error: $(e2e_stdout | grep ERROR | head -3)"

# Mesa's and the allocator's pools move a little from round to round; a mission's textures or
# meshes kept once more per race would be tens of megabytes.
if [ -n "$first" ] && [ -n "$last" ]; then
    margin=$((first / 20))
    [ "$last" -le $((first + margin)) ] ||
        e2e_fail "resident memory grew from $((first / 1024)) MB after the first round to $((last / 1024)) MB after round $ROUNDS"
fi
e2e_quit
e2e_end
exit $E2E_FAILED
