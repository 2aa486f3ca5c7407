#!/usr/bin/env bash
# The whole menu flow as a player goes through it with the mouse and the keyboard: the main screen,
# every options row with the restart notice (each row that needs one on its own), a resolution
# chosen from two video modes, volumes that wrap, a key rebound, a key refused and the row left
# waiting, the credits pages, the mission selection at progress 1, a race started, left with
# Escape, continued, broken off and started again, and Exit writing the changed options.
. "$E2E_HERE/harness.sh"

# Window pixels of the graphics rows and the controls page at 1024 x 768 (the centres of their
# rectangles); the main screen's, the missions', the hub's and the audio page's are the harness's.
ROW_Y=(146 207 269 330 392 453 515)
CONTROLLER_Y=146; KEY_Y=(269 330 392 453)

saved() { grep -q "$1" "$E2E_DIR/settings.xml" || e2e_fail "settings.xml lacks $1"; }

e2e_begin menu_flow 1024x768 || exit 1
# Two video modes to choose from: the game lists 800 x 600 first, then the screen's 1024 x 768.
e2e_add_video_mode 800 600 || { e2e_fail "no second video mode"; e2e_end; exit 1; }
e2e_settings '<?xml version="1.0"?>
<Resolution X="1024" Y="768" />
<Fullscreen Value="0" />
<Filtering Value="Bilinear" />
<AntiAliasing Value="0" />
<VSync Value="0" />
<Shadows Value="0" />
<PostProcessing Value="0" />
<GraphicMode Value="OpenGL" />
<Music Value="2147483647" />
<Environment Value="95" />
<Mission Value="qWz517" />'
e2e_launch
e2e_wait_window && e2e_focus || { e2e_fail "the window did not come up"; e2e_end; exit 1; }

# Through the splash images with Escape held, then wait for the main screen's sky.
e2e_wait_main_screen

# Options: each row that needs a restart gives the notice on its own: clicked round to its old value
# (the resolution through both modes), then Back.
e2e_menu_click $MAIN_X $OPTIONS_Y; e2e_shot hub
e2e_same_screen main hub && e2e_fail "Options did not open the options hub"
ROW_CYCLE=(2 0 2 3 0 2 2)
for row in 0 2 3 5 6; do
    e2e_menu_click $MAIN_X $HUB_GRAPHICS_Y
    for _ in $(seq 1 "${ROW_CYCLE[$row]}"); do e2e_menu_click $VALUE_X "${ROW_Y[$row]}"; done
    e2e_menu_click $MAIN_X $BACK_Y; e2e_shot notice-row-$row
    e2e_same_screen notice-row-$row hub && e2e_fail "graphics row $((row + 1)) gave no restart notice"
    e2e_menu_click $MAIN_X $BACK_Y
done

# Every graphics row once, then the notice on Back.
e2e_menu_click $MAIN_X $HUB_GRAPHICS_Y; e2e_shot graphics
for y in "${ROW_Y[@]}"; do e2e_menu_click $VALUE_X "$y"; done
e2e_shot graphics-changed
e2e_same_screen graphics graphics-changed && e2e_fail "the graphics rows did not change"
e2e_menu_click $MAIN_X $BACK_Y; e2e_shot notice
e2e_same_screen notice hub && e2e_fail "no restart notice after the restart rows"
e2e_menu_click $MAIN_X $BACK_Y; e2e_shot hub-again
e2e_same_screen hub hub-again || e2e_fail "the notice's button did not lead back to the hub"

# Audio: the music volume of 2147483647 is no volume: read as the default 80, it goes to 90; the
# effects go 95, 0, 10.
e2e_menu_click $MAIN_X $HUB_AUDIO_Y
e2e_menu_click $VALUE_X $MUSIC_Y
# Two quick clicks: the engine reports a double click right behind the second press.
xdotool mousemove --window "$E2E_WINDOW" $VALUE_X $ENVIRONMENT_Y
sleep 0.1
xdotool mousedown 1; sleep 0.15; xdotool mouseup 1; sleep 0.1
xdotool mousedown 1; sleep 0.15; xdotool mouseup 1; sleep 0.3
e2e_shot audio
e2e_menu_click $MAIN_X $BACK_Y

# Controls: forward rebound to E; backward refuses A (it steers left) and keeps waiting.
e2e_menu_click $MAIN_X $HUB_CONTROLS_Y
e2e_shot controls
e2e_menu_click $VALUE_X ${KEY_Y[0]}
e2e_key e
e2e_shot controls-rebound
e2e_menu_click $VALUE_X ${KEY_Y[1]}
e2e_key a
e2e_shot controls-waiting
e2e_same_screen controls-rebound controls-waiting && e2e_fail "the backward row did not wait for a key"
# Left waiting, the row shows its old key when the page opens again.
e2e_menu_click $MAIN_X $BACK_Y
e2e_menu_click $MAIN_X $HUB_CONTROLS_Y; e2e_shot controls-again
e2e_same_screen controls-rebound controls-again || e2e_fail "the row left waiting still waits on return"
e2e_menu_click $MAIN_X $BACK_Y
e2e_menu_click $MAIN_X $BACK_Y
e2e_shot main-again
e2e_same_screen main main-again || e2e_fail "Back on the hub did not lead to the main screen"

# Credits: the first page shows after 2.5 s, the second after 8 s more.
e2e_menu_click $MAIN_X $CREDITS_Y
sleep 3
e2e_shot credits-1
sleep 8
e2e_shot credits-2
e2e_same_screen credits-1 credits-2 && e2e_fail "the credits did not move on to the next page"
e2e_menu_click $MAIN_X $BACK_Y

# Mission selection at progress 1: missions 2 to 8 refuse.
e2e_menu_click $MAIN_X $START_Y; e2e_shot missions
for m in 2 3 4 5 6 7 8; do
    e2e_menu_click ${MISSION_X[$(((m - 1) % 4))]} ${MISSION_Y[$(((m - 1) / 4))]}
done
e2e_shot missions-after
e2e_same_screen missions missions-after || e2e_fail "a locked mission was taken"
e2e_menu_click $MAIN_X $MISSION_BACK_Y; e2e_shot main-back
e2e_same_screen main main-back || e2e_fail "Back did not lead from the missions to the main screen"

# Mission 1: the loading screen, then the race runs.
e2e_menu_click $MAIN_X $START_Y
e2e_click ${MISSION_X[0]} ${MISSION_Y[0]}
e2e_screenshot "$E2E_SHOT_DIR/loading.png"
e2e_same_screen missions loading && e2e_fail "no loading screen after the click on mission 1"
e2e_wait_race_moves || e2e_fail "nothing moves in the race"

# Escape, Continue, Escape, Break, Start again.
e2e_key Escape; e2e_shot paused
e2e_menu_click $MAIN_X $CONTINUE_Y; sleep 1
e2e_screenshot "$E2E_SHOT_DIR/race-continued.png"
e2e_same_screen paused race-continued && e2e_fail "Continue did not go back to the race"
e2e_key Escape
e2e_menu_click $MAIN_X $BREAK_Y; e2e_shot broken
e2e_same_screen main broken || e2e_fail "Break did not lead to the main screen without the race"
e2e_menu_click $MAIN_X $START_Y
e2e_click ${MISSION_X[0]} ${MISSION_Y[0]}
e2e_wait_race_moves || e2e_fail "nothing moves in the second race"
e2e_key Escape
e2e_menu_click $MAIN_X $EXIT_Y
e2e_wait_exit 30 || e2e_fail "Exit did not end the game"
[ "${E2E_EXIT:-x}" = 0 ] || e2e_fail "exit code ${E2E_EXIT:-none}, expected 0"

out=$(e2e_stdout)
grep -q "exists already" <<< "$out" && e2e_fail "the second race found the first one's entities"
saved '<Filtering Value="Trilinear" />'
saved '<AntiAliasing Value="1" />'
saved '<VSync Value="1" />'
saved '<Shadows Value="1" />'
saved '<PostProcessing Value="1" />'
saved '<GraphicMode Value="DirectX" />'
# One click on the resolution from the screen's mode: the other one, for the next start.
saved '<Resolution X="800" Y="600" />'
grep -q '^Warning: settings.xml: Music value "2147483647" is not one the game can use; the default 80 is used$' <<< "$out" \
    || e2e_fail "no warning for the music volume the game cannot use"
saved '<Music Value="90" />'
saved '<Environment Value="10" />'
saved '<Forward Value="KEY_KEY_E" />'
saved '<Backward Value="KEY_KEY_S" />'
saved '<Left Value="KEY_KEY_A" />'
saved '<Mission Value="qWz517" />'
e2e_keep_shots
e2e_end
exit $E2E_FAILED
