#!/usr/bin/env bash
# Input as quick as a player's: clicks whose press and release reach the game together (a touchpad
# tap; `xdotool click`), a click with a small move right after the press, a double click that must
# not go two screens deep, and an Escape tap in the race.
. "$E2E_HERE/harness.sh"

HUB_CONTROLS_Y=476; HUB_AUDIO_Y=384; BACK_Y=676
VALUE_X=717; ENVIRONMENT_Y=415

SHOTS=$E2E_SCRATCH/shots

shot() {
    xdotool mousemove --window "$E2E_WINDOW" 1010 10
    sleep 0.4
    e2e_screenshot "$SHOTS/$1.png"
}

# Press and release in one go, as xdotool sends a click.
tap() {
    xdotool mousemove --window "$E2E_WINDOW" "$1" "$2"
    sleep 0.1
    xdotool click 1
    sleep 0.7
}

same_screen() {
    local d
    d=$(e2e_diff "$SHOTS/$1.png" "$SHOTS/$2.png")
    [ "${d:-999999}" -lt 200 ]
}

e2e_begin quick_input 1024x768 || exit 1
mkdir -p "$SHOTS"
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

e2e_skip_splash 10
for i in $(seq 1 40); do
    shot main
    [ "$(e2e_colours "$SHOTS/main.png")" -gt 200 ] && [ "$(e2e_pixel "$SHOTS/main.png" 5 5)" != "225,223,224" ] && break
    sleep 0.5
done
[ "$(e2e_colours "$SHOTS/main.png")" -gt 200 ] || e2e_fail "no main screen"

# A tap on Options opens the hub; a tap on Controls, then Back, shows what the Controls page is.
tap $MAIN_X $OPTIONS_Y; shot hub
same_screen main hub && e2e_fail "a tap on Options did not open the options hub"
tap $MAIN_X $HUB_CONTROLS_Y; shot controls
same_screen hub controls && e2e_fail "a tap on Controls did not open the controls page"
tap $MAIN_X $BACK_Y; tap $MAIN_X $BACK_Y; shot main-again
same_screen main main-again || e2e_fail "two taps on Back did not lead to the main screen"

# A double click on Options (Controls lies under its second click on the hub) stops at the hub.
xdotool mousemove --window "$E2E_WINDOW" $MAIN_X $OPTIONS_Y
sleep 0.1
xdotool click --repeat 2 --delay 120 1
sleep 0.7
shot after-double
same_screen after-double controls && e2e_fail "a double click on Options went on to the controls page"
same_screen after-double hub || e2e_fail "a double click on Options did not stop at the options hub"

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
sleep 9
e2e_screenshot "$SHOTS/race-1.png"
sleep 1
e2e_screenshot "$SHOTS/race-2.png"
same_screen race-1 race-2 && e2e_fail "nothing moves in the race"
xdotool key Escape
shot paused-1
sleep 1
shot paused-2
same_screen paused-1 paused-2 || e2e_fail "an Escape tap did not leave the race"
same_screen paused-1 race-2 && e2e_fail "an Escape tap did not bring the menu"

tap $MAIN_X $EXIT_Y
e2e_wait_exit 30 || e2e_fail "Exit did not end the game"
[ "${E2E_EXIT:-x}" = 0 ] || e2e_fail "exit code ${E2E_EXIT:-none}, expected 0"
grep -q '<Environment Value="100" />' "$E2E_DIR/settings.xml" \
    || e2e_fail "the effects volume is not 100 after five clicks: $(grep Environment "$E2E_DIR/settings.xml")"
[ -n "${E2E_KEEP_SHOTS:-}" ] && cp -r "$SHOTS" "$E2E_KEEP_SHOTS"
e2e_end
exit $E2E_FAILED
