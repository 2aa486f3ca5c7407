#!/usr/bin/env bash
# A kill never costs the player the settings file: the game is killed with SIGKILL at random moments
# around its writes of settings.xml, at exit (closed during the splash) and after a won race
# (mission 1 replaced by the test missions' sprint), and every time the file left behind is the old
# one or the new one, byte for byte; the game reads both back. The writes are stretched by the
# slowsave preload (a few bytes every 2 ms), and the preload itself kills the game at a step of the
# save the test chose at random (a piece of a write, before or after the rename), so that nearly
# every kill lands in the middle of a save however busy the machine is.
# SAVE_KILL_TRIALS and SAVE_KILL_WON_TRIALS set the number of kills of each kind (100 and 4); the
# exit kills run in SAVE_KILL_LANES games side by side (4), beside the won races.
. "$E2E_HERE/harness.sh"

W=1024 H=768
TRIALS=${SAVE_KILL_TRIALS:-100}
WON_TRIALS=${SAVE_KILL_WON_TRIALS:-4}
# The exit kills are shared out among this many games, each on its own Xvfb, side by side with
# the won races.
LANES=${SAVE_KILL_LANES:-4}
SHIM=$(dirname "$E2E_XCLOSE")/libslowsave.so
[ -f "$SHIM" ] || { echo "no $SHIM: build the project first"; exit 1; }

# A random number between 0 and N.
random_upto() { awk -v n="$1" -v r="$RANDOM" 'BEGIN { printf "%.3f\n", n * r / 32767 }'; }

OLD='<?xml version="1.0"?>
<Resolution X="1024" Y="768" />
<Fullscreen Value="0" />
<VSync Value="0" />
<Music Value="40" />
<Mission Value="qWz517" />'

# Starts the game; with a number N, the preload kills it at the Nth step of its save.
launch() {
    rm -f "$LOG"
    SLOWSAVE_LOG=$LOG LD_PRELOAD=$SHIM e2e_launch ${1:+SLOWSAVE_KILL_STEP=$1}
    e2e_wait_window && e2e_focus
}

# Waits until the game opens the settings file for writing (up to $1 s).
wait_for_save() {
    local i
    for i in $(seq 1 $(($1 * 20))); do
        grep -q ' open ' "$LOG" 2> /dev/null && return 0
        kill -0 "$E2E_PID" 2> /dev/null || return 1
        sleep 0.05
    done
    return 1
}

# Steps of the last save of a run in the preload's log: its pieces of writes, the moments before
# and after the rename.
save_steps() { echo $(($(grep -c ' piece' "$LOG" 2> /dev/null) + 2)); }

# A step for the preload's kill: any step of a whole save of STEPS, the last one after the rename,
# so that nearly every kill lands in the middle of the writes, a few after them.
kill_step() { echo $((RANDOM % $1 + 1)); }

# Waits for the game killed by the preload (the shell's notice of the killed job is of no interest).
wait_for_kill() {
    e2e_wait_exit 30 2> /dev/null || { e2e_fail "$1: the game lived on past its kill"; kill_game; }
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
    elif cmp -s "$file" "$FILES/old.xml"; then
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

# One line per kill in $FILES/kills: its kind and its moment against the save.
record() {
    local kind=$1 verdict=$2 when
    when=$(phase)
    echo "$kind-$when" >> "$FILES/kills"
    case $verdict in
        old | new) ;;
        *) e2e_fail "$kind kill $3 ($when the save): $verdict" ;;
    esac
}

# Start to the race with the forward key held (killed $1 ms into the save, when given).
win_race() {
    cp "$FILES/old.xml" "$E2E_DIR/settings.xml"
    launch "${1:-}" || return 1
    e2e_wait_main_screen
    e2e_click $((W * 500 / 1000)) $((H * 497 / 1000)) # Start
    sleep 1
    e2e_click $((W * 132 / 1000)) $((H * 290 / 1000)) # mission 1
    e2e_key_down w
}

# Exit kills FIRST to LAST, in a scratch folder and Xvfb of their own.
exit_kills() {
    local trial
    e2e_begin save_kill-exit-$1 ${W}x${H} || return 1
    LOG=$E2E_SCRATCH/saves.log
    for trial in $(seq "$1" "$2"); do
        cp "$FILES/old.xml" "$E2E_DIR/settings.xml"
        launch "$(kill_step "$EXIT_SAVE_STEPS")" ||
            { e2e_fail "trial $trial: the window did not come up"; kill_game; continue; }
        sleep "$(random_upto 0.6)"
        e2e_close
        wait_for_kill "trial $trial"
        grep -q ' open ' "$LOG" 2> /dev/null || e2e_fail "trial $trial: no save after the close message"
        record exit "$(judge "$FILES/exit.xml")" "$trial"
    done
    e2e_end
    return $E2E_FAILED
}

# Won-race kills: the sprint as mission 1, the forward key held, killed around the save at the
# race's end. A first race left alone gives the new file and the save's length.
won_kills() {
    local trial
    e2e_begin save_kill-won ${W}x${H} || return 1
    LOG=$E2E_SCRATCH/saves.log
    e2e_sprint_as_mission1
    win_race || e2e_fail "the window did not come up for the won race"
    wait_for_save 90 || e2e_fail "no save within 90 s of the race's start"
    for _ in $(seq 1 100); do grep -q ' renamed ' "$LOG" 2> /dev/null && break; sleep 0.05; done
    e2e_key_up w
    cp "$E2E_DIR/settings.xml" "$FILES/won.xml"
    WON_SAVE_MS=$(save_ms)
    WON_SAVE_STEPS=$(save_steps)
    grep -q '<Mission Value="Pkm208" />' "$FILES/won.xml" ||
        e2e_fail "the won race did not save progress level 2: $(cat "$FILES/won.xml")"
    e2e_quit
    echo "the save after the won race takes $WON_SAVE_MS ms and $WON_SAVE_STEPS steps with the stretched writes"

    for trial in $(seq 1 "$WON_TRIALS"); do
        win_race "$(kill_step "$WON_SAVE_STEPS")" ||
            { e2e_fail "won race $trial: the window did not come up"; kill_game; continue; }
        wait_for_save 90 || e2e_fail "won race $trial: no save within 90 s of the race's start"
        wait_for_kill "won race $trial"
        e2e_key_up w
        record "won race" "$(judge "$FILES/won.xml")" "$trial"
    done
    e2e_end
    return $E2E_FAILED
}

e2e_begin save_kill ${W}x${H} || exit 1
FILES=$E2E_SCRATCH
LOG=$E2E_SCRATCH/saves.log
printf '%s\n' "$OLD" > "$FILES/old.xml"
: > "$FILES/kills"

# --- At exit. A run left alone gives the new file and the save's length.
cp "$FILES/old.xml" "$E2E_DIR/settings.xml"
launch || e2e_fail "the window did not come up"
sleep 0.5
e2e_close
e2e_wait_exit 30 || e2e_fail "the game did not end after the close message"
cp "$E2E_DIR/settings.xml" "$FILES/exit.xml"
EXIT_SAVE_MS=$(save_ms)
EXIT_SAVE_STEPS=$(save_steps)
cmp -s "$FILES/exit.xml" "$FILES/old.xml" &&
    e2e_fail "the exit save wrote the file as it was: the test could not tell old from new"
echo "the exit save takes $EXIT_SAVE_MS ms and $EXIT_SAVE_STEPS steps with the stretched writes"

lanes=()
( won_kills ) &
lanes+=($!)
for lane in $(seq 0 $((LANES - 1))); do
    ( exit_kills $((lane * TRIALS / LANES + 1)) $(((lane + 1) * TRIALS / LANES)) ) &
    lanes+=($!)
done
for pid in "${lanes[@]}"; do wait "$pid" || E2E_FAILED=1; done

sort "$FILES/kills" | uniq -c | awk '{ n = $1; $1 = ""; print substr($0, 2) ": " n " kills" }'
# Most kills must have landed in the middle of a save, else the test proves little.
during=$(grep -c '^exit-during$' "$FILES/kills")
[ "$during" -ge $((TRIALS / 2)) ] ||
    e2e_fail "only $during of $TRIALS exit kills landed during the save"

# --- Both files are the game's to read: started on each, it writes back what it read.
for file in exit won; do
    cp "$FILES/$file.xml" "$E2E_DIR/settings.xml"
    e2e_launch
    e2e_wait_window && e2e_focus || e2e_fail "the window did not come up on the $file file"
    sleep 0.5
    e2e_quit
    cmp -s "$E2E_DIR/settings.xml" "$FILES/$file.xml" ||
        e2e_fail "the game did not read back the $file file: $(cat "$E2E_DIR/settings.xml")"
done
e2e_end
exit $E2E_FAILED
