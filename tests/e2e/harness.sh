# Whole-program test harness: sourced by the tests in this folder.
#
# Runs the unchanged game binary in a scratch copy of the run folder under its own Xvfb, with a
# silent sound device, and drives it with real X input (xdotool). Every function prints what went
# wrong and returns non-zero on failure.
#
#   e2e_begin NAME [WxH]    scratch folder + Xvfb with a WxH screen (default 1280x1024); sets
#                           E2E_DIR (the scratch run folder) and DISPLAY
#   e2e_settings TEXT       writes TEXT as settings.xml in the scratch run folder
#   e2e_add_video_mode W H  offers a second screen mode of W x H on the Xvfb (through RandR, which
#                           the game reads its list of video modes from); the screen keeps its size
#   e2e_launch [VAR=VALUE...]  starts the game (with these variables added to its environment);
#                           its standard output goes to $E2E_DIR/stdout.txt
#   e2e_wait_window [S]     waits for the game window (default 20 s); sets E2E_WINDOW
#   e2e_focus               gives the window the input focus, as a window manager would
#   e2e_sprint_as_mission1  puts the test missions' "sprint" (a short rally leg that holding the
#                           forward key wins) in the place of mission 1 of the scratch run folder
#   e2e_skip_splash [S]     holds Escape through both splash holds (S seconds, default 11), which
#                           brings the main menu up about 14 s after the start (settings.xml needed)
#   e2e_key KEY [HOLD_S]    presses and releases KEY (xdotool key name), holding it HOLD_S seconds
#   e2e_key_down KEY / e2e_key_up KEY
#   e2e_move_mouse X Y      moves the mouse to window pixel X,Y and waits (up to 3 s) for a frame
#                           drawn after the move: the game's cursor gone from where it stood (from
#                           close by, it goes round by a point 20 pixels to the left)
#   e2e_click X Y [BUTTON]  e2e_move_mouse, then a click (button 1 by default): press, hold 200 ms,
#                           release; the button under the mouse has seen it up first, however slow
#                           the frames of a busy machine
#   e2e_screenshot FILE     the whole X screen as PNG
#   e2e_shot NAME           moves the mouse off every widget, lets a frame pass, and takes the
#                           screen as $E2E_SHOT_DIR/NAME.png (a folder of the scratch folder)
#   e2e_same_screen A B     true when shots A and B show the same screen (the music draws nothing,
#                           so they differ by a few pixels at most)
#   e2e_wait_main_screen    through the splash images with Escape held, then waits for the main
#                           screen to stand (shot "main"); a failed check when it does not come
#   e2e_menu_click X Y      e2e_click, then a pause for the screen it opens
#   e2e_wait_race_moves [S] after a mission's click: waits (up to S s, default 60) until the race
#                           moves, seen as two pairs in a row of shots 1.5 s apart that differ (the
#                           loading screen stands still; one pair may straddle its end), the
#                           last pair kept as shots race-1 and race-2. False when it does not
#   e2e_keep_shots          copies the shots to $E2E_KEEP_SHOTS when that is set
#   e2e_colours FILE        number of distinct colours in an image
#   e2e_pixel FILE X Y      the colour of one pixel of an image, as "R,G,B"
#   e2e_screen_pixel X Y    the colour of one pixel of the X screen now, as "R,G,B" (cheap enough
#                           to poll what the game shows)
#   e2e_diff FILE1 FILE2    number of pixels in which two images differ
#   e2e_close               sends WM_DELETE_WINDOW, as a window manager's close button does
#   e2e_wait_exit [S]       waits for the game to end (default 20 s); sets E2E_EXIT
#   e2e_quit                e2e_close, then checks that the game ends within 30 s with code 0
#   e2e_end                 stops the game (if still running) and Xvfb
#   e2e_stdout              the game's standard output so far
#   e2e_fail MESSAGE        reports a failed check and marks the test failed
#
# Needs: E2E_RUN (the built run folder), E2E_XCLOSE and E2E_XPIXEL (the xclose and xpixel
# helpers), all set by run-all.sh.

E2E_FAILED=0

# Window pixels of the main screen's buttons and the mission buttons at 1024 x 768 (the centres of
# their rectangles); Break shares Start's place.
MAIN_X=512; CONTINUE_Y=301; START_Y=382; BREAK_Y=382; OPTIONS_Y=463; CREDITS_Y=543; EXIT_Y=624
MISSION_X=(136 387 638 889); MISSION_Y=(223 468); MISSION_BACK_Y=701
# The options hub's buttons, and the value column and rows of its pages; every page's Back (and
# the restart notice's button) shares one place.
HUB_GRAPHICS_Y=292; HUB_AUDIO_Y=384; HUB_CONTROLS_Y=476; BACK_Y=676
VALUE_X=717
MUSIC_Y=353; ENVIRONMENT_Y=415

# Nanoseconds of the wall clock; the median of numbers on standard input.
now_ns() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
. "$E2E_HERE/../support/xvfb.sh"

e2e_fail() {
    echo "FAIL: $*"
    E2E_FAILED=1
}

e2e_begin() {
    E2E_NAME=$1
    local screen=${2:-1280x1024}
    E2E_SCRATCH=$(mktemp -d "/tmp/sandvolt-e2e-$E2E_NAME-XXXXXX")
    E2E_DIR=$E2E_SCRATCH/run
    mkdir -p "$E2E_DIR"
    # The game only reads data/ and missions/; it writes settings.xml beside its binary.
    cp "$E2E_RUN/sandvolt" "$E2E_DIR/"
    for folder in data missions; do
        [ -e "$E2E_RUN/$folder" ] && ln -s "$E2E_RUN/$folder" "$E2E_DIR/$folder"
    done

    # In the scratch folder, so that two runs side by side keep their own.
    E2E_SHOT_DIR=$E2E_SCRATCH/shots
    mkdir -p "$E2E_SHOT_DIR"

    xvfb_start "$E2E_SCRATCH" "$screen" || return 1
    E2E_XVFB=$XVFB_PID
}

e2e_settings() {
    printf '%s\n' "$1" > "$E2E_DIR/settings.xml"
}

e2e_add_video_mode() {
    local w=$1 h=$2
    xrandr --newmode "${w}x${h}" 40 "$w" $((w + 40)) $((w + 168)) $((w + 256)) \
        "$h" $((h + 1)) $((h + 5)) $((h + 28)) &&
        xrandr --addmode screen "${w}x${h}" ||
        { echo "could not add the video mode ${w}x${h}"; return 1; }
}

e2e_launch() {
    (cd "$E2E_DIR" && exec env ALSOFT_DRIVERS=null "$@" ./sandvolt > stdout.txt 2>&1) &
    E2E_PID=$!
}

e2e_wait_window() {
    local limit=${1:-20} i
    E2E_WINDOW=
    for i in $(seq 1 $((limit * 10))); do
        E2E_WINDOW=$(xdotool search --onlyvisible --name '^Sandvolt' 2> /dev/null | head -n 1)
        [ -n "$E2E_WINDOW" ] && return 0
        kill -0 "$E2E_PID" 2> /dev/null || break
        sleep 0.1
    done
    echo "no game window appeared"
    return 1
}

e2e_focus() {
    local i
    for i in $(seq 1 20); do
        xdotool windowfocus "$E2E_WINDOW" 2> /dev/null
        [ "$(xdotool getwindowfocus 2> /dev/null)" = "$E2E_WINDOW" ] && return 0
        sleep 0.1
    done
    echo "could not give the window the focus"
    return 1
}

e2e_sprint_as_mission1() {
    rm "$E2E_DIR/missions" "$E2E_DIR/data"
    mkdir "$E2E_DIR/missions" "$E2E_DIR/data"
    local entry
    for entry in "$E2E_RUN"/missions/* "$E2E_RUN"/data/*; do
        ln -s "$entry" "$E2E_DIR/${entry#"$E2E_RUN"/}"
    done
    rm "$E2E_DIR/missions/m01"
    ln -s "$E2E_FIXTURES/missions/sprint" "$E2E_DIR/missions/m01"
    ln -s "$E2E_FIXTURES/missions/sprint" "$E2E_DIR/missions/sprint"
    ln -s "$E2E_FIXTURES/data/ground" "$E2E_DIR/data/ground"
    ln -s "$E2E_FIXTURES/data/gates" "$E2E_DIR/data/gates"
}

e2e_skip_splash() {
    sleep 4
    xdotool keydown Escape
    sleep "${1:-11}"
    xdotool keyup Escape
}

e2e_key_down() { xdotool keydown "$1"; }
e2e_key_up() { xdotool keyup "$1"; }

e2e_key() {
    xdotool keydown "$1"
    sleep "${2:-0.2}"
    xdotool keyup "$1"
}

# True when the game's cursor is drawn with its top-left corner at screen pixel X,Y: its arrow is
# bright amber 2 pixels right of and 10 below that corner.
cursor_drawn_at() {
    local r g b
    IFS=, read -r r g b <<< "$(e2e_screen_pixel $(($1 + 2)) $(($2 + 10)))"
    [ "${r:-0}" -ge 230 ] && [ "${g:-0}" -ge 190 ] && [ "${b:-255}" -lt 60 ]
}

e2e_move_mouse() {
    local x=$1 y=$2 X Y SCREEN WINDOW WIDTH HEIGHT wx wy i
    eval "$(xdotool getwindowgeometry --shell "$E2E_WINDOW")"
    wx=$X wy=$Y
    eval "$(xdotool getmouselocation --shell)"
    # Where the new cursor's arrow would hide the old one's, go round.
    if [ $((x + wx - X)) -gt -40 ] && [ $((x + wx - X)) -lt 40 ] &&
        [ $((y + wy - Y)) -gt -40 ] && [ $((y + wy - Y)) -lt 40 ]; then
        e2e_move_mouse $((x - 20)) "$y"
        eval "$(xdotool getmouselocation --shell)"
    fi
    xdotool mousemove --window "$E2E_WINDOW" "$x" "$y"
    for i in $(seq 1 60); do
        cursor_drawn_at "$X" "$Y" || return 0
        sleep 0.05
    done
}

# The game keeps a press until the frame that reads it, so a tap counts too; the press is held for
# a few frames before the release, as a player's finger does.
e2e_click() {
    e2e_move_mouse "$1" "$2"
    xdotool mousedown "${3:-1}"
    sleep 0.2
    xdotool mouseup "${3:-1}"
}

e2e_screenshot() {
    import -display "$DISPLAY" -window root "$1"
}

e2e_shot() {
    e2e_move_mouse 1010 10
    sleep 0.4
    e2e_screenshot "$E2E_SHOT_DIR/$1.png"
}

e2e_same_screen() {
    local d
    d=$(e2e_diff "$E2E_SHOT_DIR/$1.png" "$E2E_SHOT_DIR/$2.png")
    [ "${d:-999999}" -lt 200 ]
}

# The main screen's sky has hundreds of colours, a splash image on its grey or white a few; a
# splash image fading in or out has many as well, but no two shots of it are the same, while the
# main screen stands still: on a busy machine the splash can still be fading when the fixed hold of
# Escape is over.
e2e_wait_main_screen() {
    local i corner shot=$E2E_SHOT_DIR/main.png last=$E2E_SHOT_DIR/main-last.png
    e2e_skip_splash 10
    for i in $(seq 1 60); do
        e2e_shot main
        corner=$(e2e_pixel "$shot" 5 5)
        if [ "$(e2e_colours "$shot")" -gt 200 ] && [ "$corner" != "225,223,224" ] &&
            [ "$corner" != "255,255,255" ] && [ -f "$last" ] && e2e_same_screen main main-last; then
            return 0
        fi
        cp "$shot" "$last"
        sleep 0.3
    done
    e2e_fail "no main screen"
    return 1
}

e2e_wait_race_moves() {
    local limit=${1:-60} start=$SECONDS moved=0
    e2e_screenshot "$E2E_SHOT_DIR/race-1.png"
    while [ $((SECONDS - start)) -lt "$limit" ]; do
        sleep 1.5
        e2e_screenshot "$E2E_SHOT_DIR/race-2.png"
        if e2e_same_screen race-1 race-2; then moved=0; else moved=$((moved + 1)); fi
        [ "$moved" -ge 2 ] && return 0
        mv "$E2E_SHOT_DIR/race-2.png" "$E2E_SHOT_DIR/race-1.png"
    done
    return 1
}

e2e_menu_click() {
    e2e_click "$1" "$2"
    sleep 0.3
}

e2e_keep_shots() {
    [ -z "${E2E_KEEP_SHOTS:-}" ] || cp -r "$E2E_SHOT_DIR" "$E2E_KEEP_SHOTS"
}

e2e_colours() {
    convert "$1" -format '%k' info:
}

e2e_pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

e2e_screen_pixel() {
    "$E2E_XPIXEL" "$1" "$2"
}

e2e_diff() {
    compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1
}

e2e_close() {
    "$E2E_XCLOSE" "$E2E_WINDOW"
}

e2e_wait_exit() {
    local limit=${1:-20} i
    for i in $(seq 1 $((limit * 10))); do
        if ! kill -0 "$E2E_PID" 2> /dev/null; then
            wait "$E2E_PID"
            E2E_EXIT=$?
            E2E_PID=
            return 0
        fi
        sleep 0.1
    done
    echo "the game did not end within $limit s"
    return 1
}

e2e_quit() {
    e2e_close
    e2e_wait_exit 30 || e2e_fail "closing the window did not end the game"
    [ "${E2E_EXIT:-x}" = 0 ] || e2e_fail "exit code ${E2E_EXIT:-none}, expected 0"
}

e2e_stdout() {
    cat "$E2E_DIR/stdout.txt" 2> /dev/null
}

e2e_end() {
    if [ -n "${E2E_PID:-}" ]; then
        kill "$E2E_PID" 2> /dev/null
        wait "$E2E_PID" 2> /dev/null
        E2E_PID=
    fi
    if [ -n "${E2E_XVFB:-}" ]; then
        xvfb_stop
        E2E_XVFB=
    fi
    if [ "$E2E_FAILED" -ne 0 ]; then
        echo "--- game output ($E2E_NAME) ---"
        e2e_stdout | tail -n 40
        echo "--- scratch folder kept: $E2E_SCRATCH"
    else
        rm -rf "$E2E_SCRATCH"
    fi
}
