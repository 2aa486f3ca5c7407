#!/usr/bin/env bash
# A kill never costs the player the settings file: the game is killed with SIGKILL at random moments
# around its writes of settings.xml, at exit (closed during the splash) and after a won race
# (mission 1 replaced by the test missions' sprint), and every time the file left behind is the old
# one or the new one, byte for byte; the game reads both back. The writes are stretched by the
# slowsave preload (a few bytes every 2 ms) so that most kills land in the middle of a save.
# SAVE_KILL_TRIALS and SAVE_KILL_WON_TRIALS set the number of kills of each kind (100 and 4).
. "$E2E_HERE/harness.sh"

W=1024 H=768
TRIALS=${SAVE_KILL_TRIALS:-100}
WON_TRIALS=${SAVE_KILL_WON_TRIALS:-4}
SHIM=$(dirname "$E2E_XCLOSE")/libslowsave.so
[ -f "$SHIM" ] || { echo "no $SHIM: build the project first"; exit 1; }

# A random number of seconds between 0 and MS milliseconds.
random_s() { awk -v ms="$1" -v r="$RANDOM" 'BEGIN { printf "%.3f\n", ms * r / 32767 / 1000 }'; }

OLD='<?xml version="1.0"?>
<Resolution X="1024" Y="768" />
<Fullscreen Value="0" />
<VSync Value="0" />
<Music Value="40" />
<Mission Value="qWz517" />'

launch() {
    rm -f "$LOG"
    SLOWSAVE_LOG=$LOG LD_PRELOAD=$SHIM e2e_launch
    e2e_wait_window && e2e_focus
}

# Waits until the game opens the settings file for writing (up to $1 s).
wait_for_save() {
    local i
    for i in $(seq 1 $(($1 * 200))); do
        grep -q ' open ' "$LOG" 2> /dev/null && return 0
        kill -0 "$E2E_PID" 2> /dev/null || return 1
        sleep 0.005
    done
    return 1
}

kill_game() {
    kill -KILL "$E2E_PID" 2> /dev/null
    wait "$E2E_PID" 2> /dev/null
    E2E_PID=
}

# Start to end of the last save of a run, in ms, from the preload's log.
save_ms() {
    awk '$2 == "open" && !from { from = $1 } $2 == "renamed" { to = $1 } END { printf "%d\n", (to - from) / 1e6 }' "$LOG"
}

# What a kill left: "old", "new" or a description of the damage.
judge() {
    local file=$E2E_DIR/settings.xml
    if [ ! -f "$file" ]; then
        echo "no settings.xml at all"
    elif cmp -s "$file" "$E2E_SCRATCH/old.xml"; then
        echo old
    elif cmp -s "$file" "$1"; then
        echo new
    else
        echo "a damaged settings.xml ($(wc -c < "$file") bytes): $(tr '\n' ' ' < "$file" | cut -c1-200)"
    fi
}

# The kill's moment against the save: before it began, in the middle, or after it was complete.
phase() {
    if ! grep -q ' open ' "$LOG" 2> /dev/null; then echo before
    elif ! grep -q ' renamed ' "$LOG"; then echo during
    else echo after; fi
}

declare -A seen
record() {
    local kind=$1 verdict=$2 when
    when=$(phase)
    seen[$kind-$when]=$((${seen[$kind-$when]:-0} + 1))
    case $verdict in
        old | new) ;;
        *) e2e_fail "$kind kill $3 ($when the save): $verdict" ;;
    esac
}

e2e_begin save_kill ${W}x${H} || exit 1
LOG=$E2E_SCRATCH/saves.log
printf '%s\n' "$OLD" > "$E2E_SCRATCH/old.xml"

# --- At exit. A run left alone gives the new file and the save's length.
cp "$E2E_SCRATCH/old.xml" "$E2E_DIR/settings.xml"
launch || e2e_fail "the window did not come up"
sleep 0.5
e2e_close
e2e_wait_exit 30 || e2e_fail "the game did not end after the close message"
cp "$E2E_DIR/settings.xml" "$E2E_SCRATCH/exit.xml"
EXIT_SAVE_MS=$(save_ms)
cmp -s "$E2E_SCRATCH/exit.xml" "$E2E_SCRATCH/old.xml" &&
    e2e_fail "the exit save wrote the file as it was: the test could not tell old from new"
echo "the exit save takes $EXIT_SAVE_MS ms with the stretched writes"

for trial in $(seq 1 "$TRIALS"); do
    cp "$E2E_SCRATCH/old.xml" "$E2E_DIR/settings.xml"
    launch || { e2e_fail "trial $trial: the window did not come up"; kill_game; continue; }
    sleep "$(random_s 600)"
    e2e_close
    wait_for_save 20 || e2e_fail "trial $trial: no save after the close message"
    sleep "$(random_s $((EXIT_SAVE_MS * 5 / 4)))"
    kill_game
    record exit "$(judge "$E2E_SCRATCH/exit.xml")" "$trial"
done

# --- After a won race: the sprint as mission 1, the forward key held, killed around the save at
# the race's end.
e2e_sprint_as_mission1

# Start to the race with the forward key held.
win_race() {
    cp "$E2E_SCRATCH/old.xml" "$E2E_DIR/settings.xml"
    launch || return 1
    e2e_skip_splash
    sleep 0.5
    e2e_click $((W * 500 / 1000)) $((H * 497 / 1000)) # Start
    sleep 1
    e2e_click $((W * 132 / 1000)) $((H * 290 / 1000)) # mission 1
    e2e_key_down w
}

win_race || e2e_fail "the window did not come up for the won race"
wait_for_save 90 || e2e_fail "no save within 90 s of the race's start"
for _ in $(seq 1 100); do grep -q ' renamed ' "$LOG" && break; sleep 0.05; done
e2e_key_up w
cp "$E2E_DIR/settings.xml" "$E2E_SCRATCH/won.xml"
WON_SAVE_MS=$(save_ms)
grep -q '<Mission Value="Pkm208" />' "$E2E_SCRATCH/won.xml" ||
    e2e_fail "the won race did not save progress level 2: $(cat "$E2E_SCRATCH/won.xml")"
e2e_quit
echo "the save after the won race takes $WON_SAVE_MS ms with the stretched writes"

for trial in $(seq 1 "$WON_TRIALS"); do
    win_race || { e2e_fail "won race $trial: the window did not come up"; kill_game; continue; }
    wait_for_save 90 || e2e_fail "won race $trial: no save within 90 s of the race's start"
    sleep "$(random_s $((WON_SAVE_MS * 5 / 4)))"
    kill_game
    e2e_key_up w
    record "won race" "$(judge "$E2E_SCRATCH/won.xml")" "$trial"
done

for key in "${!seen[@]}"; do echo "$key: ${seen[$key]} kills"; done | sort
# Most kills must have landed in the middle of a save, else the test proves little.
[ "${seen[exit-during]:-0}" -ge $((TRIALS / 4)) ] ||
    e2e_fail "only ${seen[exit-during]:-0} of $TRIALS exit kills landed during the save"

# --- Both files are the game's to read: started on each, it writes back what it read.
for file in exit won; do
    cp "$E2E_SCRATCH/$file.xml" "$E2E_DIR/settings.xml"
    e2e_launch
    e2e_wait_window && e2e_focus || e2e_fail "the window did not come up on the $file file"
    sleep 0.5
    e2e_quit
    cmp -s "$E2E_DIR/settings.xml" "$E2E_SCRATCH/$file.xml" ||
        e2e_fail "the game did not read back the $file file: $(cat "$E2E_DIR/settings.xml")"
done
e2e_end
exit $E2E_FAILED
