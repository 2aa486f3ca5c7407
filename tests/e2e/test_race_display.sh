#!/usr/bin/env bash
# The race display over the game's own missions: mission 1 (a lap race of four cars) shows the lap,
# four standing rows, the race clock and the frame counter; mission 3 (a rally) its three stored
# times in place of the standings. The two screenshots are kept for a person to look at (in
# $E2E_SHOTS, by default the build folder's e2e/screenshots/).
. "$E2E_HERE/harness.sh"

W=1024 H=768
shots=${E2E_SHOTS:-$(dirname "$E2E_RUN")/e2e/screenshots}
mkdir -p "$shots"

# How much the text of box X Y WIDTH HEIGHT of a screenshot stands out: the standard deviation of
# its pixels (the sky and the ground behind it are smooth), in thousandths.
contrast() {
    convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -colorspace gray -format '%[fx:int(1000*standard_deviation)]' info:
}

# Pixels of box X Y WIDTH HEIGHT near the display's yellow (0xF2C601).
yellow_pixels() {
    convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -fuzz 12% -fill white -opaque '#F2C601' \
        -fill black +opaque white -format '%[fx:int(mean*w*h)]' info:
}

# The rows of the right-hand column (standings or rally times) whose contrast shows text.
column_rows() {
    local shot=$1 rows=0 r top bottom
    for r in 0 1 2 3; do
        top=$((H * (110 + 50 * r) / 1000)) bottom=$((H * (160 + 50 * r) / 1000))
        [ "$(contrast "$shot" $((W * 810 / 1000)) "$top" $((W * 170 / 1000)) $((bottom - top)))" -gt 40 ] &&
            rows=$((rows + 1))
    done
    echo "$rows"
}

e2e_begin race_display ${W}x${H} || exit 1
e2e_settings "<?xml version=\"1.0\"?>
<Resolution X=\"$W\" Y=\"$H\" />
<Fullscreen Value=\"0\" />
<VSync Value=\"0\" />
<Mission Value=\"Lqe490\" />
<FPS Value=\"1\" />"
e2e_launch
e2e_wait_window && e2e_focus || e2e_fail "the window did not come up"
sleep 4; e2e_key_down Escape; sleep 11; e2e_key_up Escape
sleep 0.5

e2e_click $((W * 500 / 1000)) $((H * 497 / 1000)) # Start
sleep 1
e2e_click $((W * 132 / 1000)) $((H * 290 / 1000)) # mission 1
e2e_key_down w
sleep 10
e2e_screenshot "$shots/lap_race.png"
e2e_key_up w
lap_yellow=$(yellow_pixels "$shots/lap_race.png" $((W * 20 / 1000)) $((H * 110 / 1000)) $((W * 230 / 1000)) $((H * 50 / 1000)))
[ "$lap_yellow" -gt 100 ] || e2e_fail "no lap counter in the lap race ($lap_yellow yellow pixels)"
fps_yellow=$(yellow_pixels "$shots/lap_race.png" $((W * 20 / 1000)) $((H * 930 / 1000)) $((W * 140 / 1000)) $((H * 50 / 1000)))
[ "$fps_yellow" -gt 50 ] || e2e_fail "no frame counter with the setting on ($fps_yellow yellow pixels)"
rows=$(column_rows "$shots/lap_race.png")
[ "$rows" = 4 ] || e2e_fail "the lap race of four cars shows $rows standing rows"

# Back to the menu, the race broken off, and on to the rally.
e2e_key Escape
sleep 1.5
e2e_click $((W * 500 / 1000)) $((H * 497 / 1000)) # Break
sleep 1
e2e_click $((W * 500 / 1000)) $((H * 497 / 1000)) # Start
sleep 1
e2e_click $((W * 622 / 1000)) $((H * 290 / 1000)) # mission 3
e2e_key_down w
sleep 10
e2e_screenshot "$shots/rally.png"
e2e_key_up w
times_yellow=$(yellow_pixels "$shots/rally.png" $((W * 810 / 1000)) $((H * 110 / 1000)) $((W * 170 / 1000)) $((H * 150 / 1000)))
[ "$times_yellow" -gt 300 ] || e2e_fail "no rally times in yellow ($times_yellow yellow pixels)"
rows=$(column_rows "$shots/rally.png")
[ "$rows" = 3 ] || e2e_fail "the rally with three stored times shows $rows rows of times"

e2e_quit
e2e_end
exit $E2E_FAILED
