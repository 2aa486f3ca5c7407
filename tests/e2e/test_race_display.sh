#!/usr/bin/env bash
# The race display over the game's own missions: mission 1 (a lap race of four cars) shows the lap,
# four standing rows, the race clock and the frame counter; mission 3 (a rally) its three stored
# times in place of the standings. The two screenshots are kept for a person to look at (in
# $E2E_SHOTS, by default the build folder's e2e/screenshots/).
. "$E2E_HERE/harness.sh"

W=1024 H=768
shots=${E2E_SHOTS:-$(dirname "$E2E_RUN")/e2e/screenshots}
mkdir -p "$shots"

# Pixels of box X Y WIDTH HEIGHT of a screenshot near one of the colours that follow (#RRGGBB).
pixels_near() {
    local shot=$1 x=$2 y=$3 w=$4 h=$5 colour
    shift 5
    local args=()
    for colour in "$@"; do args+=(-fill white -opaque "$colour"); done
    convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage -fuzz 4% "${args[@]}" \
        -fill black +opaque white -format '%[fx:int(mean*w*h)]' info:
}

# The rows of the right-hand column (standings or rally times) holding text in these colours.
column_rows() {
    local shot=$1 rows=0 r top bottom
    shift
    for r in 0 1 2 3; do
        top=$((H * (110 + 50 * r) / 1000)) bottom=$((H * (160 + 50 * r) / 1000))
        [ "$(pixels_near "$shot" $((W * 810 / 1000)) "$top" $((W * 170 / 1000)) $((bottom - top)) "$@")" -gt 40 ] &&
            rows=$((rows + 1))
    done
    echo "$rows"
}

# The colours of a mission's cars, as the standings show them.
car_colours() {
    awk '/<Vehicle /{car=1} car && /<Color /{ match($0, /R="[0-9]+" G="[0-9]+" B="[0-9]+"/);
        split(substr($0, RSTART, RLENGTH), c, "\""); printf "#%02X%02X%02X\n", c[2], c[4], c[6]; car=0 }' "$1"
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
e2e_wait_main_screen

e2e_click $((W * 500 / 1000)) $((H * 497 / 1000)) # Start
sleep 1
e2e_click $((W * 132 / 1000)) $((H * 290 / 1000)) # mission 1
e2e_key_down w
sleep 10
e2e_screenshot "$shots/lap_race.png"
e2e_key_up w
lap_yellow=$(pixels_near "$shots/lap_race.png" $((W * 20 / 1000)) $((H * 110 / 1000)) $((W * 230 / 1000)) $((H * 50 / 1000)) '#F2C601')
[ "$lap_yellow" -gt 100 ] || e2e_fail "no lap counter in the lap race ($lap_yellow yellow pixels)"
fps_yellow=$(pixels_near "$shots/lap_race.png" $((W * 20 / 1000)) $((H * 930 / 1000)) $((W * 140 / 1000)) $((H * 50 / 1000)) '#F2C601')
[ "$fps_yellow" -gt 50 ] || e2e_fail "no frame counter with the setting on ($fps_yellow yellow pixels)"
mapfile -t colours < <(car_colours "$E2E_RUN/missions/m01/mission.xml")
[ "${#colours[@]}" = 4 ] || e2e_fail "mission 1 has ${#colours[@]} cars, not four"
rows=$(column_rows "$shots/lap_race.png" "${colours[@]}")
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
times_yellow=$(pixels_near "$shots/rally.png" $((W * 810 / 1000)) $((H * 110 / 1000)) $((W * 170 / 1000)) $((H * 150 / 1000)) '#F2C601')
[ "$times_yellow" -gt 300 ] || e2e_fail "no rally times in yellow ($times_yellow yellow pixels)"
rows=$(column_rows "$shots/rally.png" '#F2C601')
[ "$rows" = 3 ] || e2e_fail "the rally with three stored times shows $rows rows of times"

e2e_quit
e2e_end
exit $E2E_FAILED
