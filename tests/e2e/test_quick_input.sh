#!/usr/bin/env bash
# Input as quick as a player's: clicks whose press and release reach the game together (a touchpad
# tap; `xdotool click`), a click with a small move right after the press, a double click that must
# not go two screens deep, and an Escape tap in the race.
. "$E2E_HERE/harness.sh"


# Press and release in one go, as xdotool sends a click.
tap() {
    xdotool mousemove --window "$E2E_WINDOW" "$1" "$2"
    sleep 0.1
    xdotool click 1
    sleep 0.7
}

e2e_begin quick_input 1024x768 || exit 1
e2e_settings '<?xml version="1.0"?>
<Resolution X="1024" Y="768" />
<Fullscreen Value="0" />
<VSync Value="0" />
<Shadows Value="0" />
<PostProcessing Value="0" />
<Environment Value="50" />
<Mission Value="qWz517" />'
e2e_launch
e2e_wait_window && e2e_focus || { e2e_fail "the window did not come up"; e2e_end; exit 1; }

e2e_wait_main_screen

# A tap on Options opens the hub; a tap on Controls, then Back, shows what the Controls page is.
tap $MAIN_X $OPTIONS_Y; e2e_shot hub
e2e_same_screen main hub && e2e_fail "a tap on Options did not open the options hub"
tap $MAIN_X $HUB_CONTROLS_Y; e2e_shot controls
e2e_same_screen hub controls && e2e_fail "a tap on Controls did not open the controls page"
tap $MAIN_X $BACK_Y; tap $MAIN_X $BACK_Y; e2e_shot main-again
e2e_same_screen main main-again || e2e_fail "two taps on Back did not lead to the main screen"

# A double click on Options (Controls lies under its second click on the hub) stops at the hub.
xdotool mousemove --window "$E2E_WINDOW" $MAIN_X $OPTIONS_Y
sleep 0.1
xdotool click --repeat 2 --delay 120 1
sleep 0.7
e2e_shot after-double
e2e_same_screen after-double controls && e2e_fail "a double click on Options went on to the controls page"
e2e_same_screen after-double hub || e2e_fail "a double click on Options did not stop at the options hub"

# On the audio page, five clicks with a 3-pixel move right after each press: the effects volume
# goes 50, 60, 70, 80, 90, 100.
tap $MAIN_X $HUB_AUDIO_Y
for n in 1 2 3 4 5; do
    xdotool mousemove --window "$E2E_WINDOW" $VALUE_X $ENVIRONMENT_Y
    sleep 0.1
    xdotool mousedown 1 mousemove_relative 3 0
    sleep 0.15
    xdotool mouseup 1
    sleep 0.3
done
tap $MAIN_X $BACK_Y; tap $MAIN_X $BACK_Y

# Mission 1, and an Escape tap (press and release together) in its race brings the menu, which
# stands still where the race moved.
tap $MAIN_X $START_Y
tap ${MISSION_X[0]} ${MISSION_Y[0]}
e2e_wait_race_moves || e2e_fail "nothing moves in the race"
xdotool key Escape
e2e_shot paused-1
sleep 1
e2e_shot paused-2
e2e_same_screen paused-1 paused-2 || e2e_fail "an Escape tap did not leave the race"
e2e_same_screen paused-1 race-2 && e2e_fail "an Escape tap did not bring the menu"

tap $MAIN_X $EXIT_Y
e2e_wait_exit 30 || e2e_fail "Exit did not end the game"
[ "${E2E_EXIT:-x}" = 0 ] || e2e_fail "exit code ${E2E_EXIT:-none}, expected 0"
grep -q '<Environment Value="100" />' "$E2E_DIR/settings.xml" \
    || e2e_fail "the effects volume is not 100 after five clicks: $(grep Environment "$E2E_DIR/settings.xml")"
e2e_keep_shots
e2e_end
exit $E2E_FAILED
