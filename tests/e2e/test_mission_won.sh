#!/usr/bin/env bash
# Winning mission 1 from start to end: "missions/m01/" is the test missions' sprint (one lap down a
# straight, the player alone), which holding the forward key wins. Start, mission 1, the key held:
# the place image and the final time come up at the finish, the game returns to the mission
# selection with mission 2 open, and settings.xml holds the raised progress code.
. "$E2E_HERE/harness.sh"

W=1024 H=768

# How far the screen's box (X Y WIDTH HEIGHT) is from IMAGE laid over it by its alpha channel, as
# the game draws it: 0 is the same, 1 is every pixel at the far end of every channel.
distance_to_image() {
    local shot=$1 image=$2 x=$3 y=$4 w=$5 h=$6
    convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage "$E2E_SCRATCH/box.png"
    convert "$E2E_SCRATCH/box.png" \( "$image" -resize "${w}x${h}!" \) -composite "$E2E_SCRATCH/expected.png"
    compare -metric RMSE "$E2E_SCRATCH/box.png" "$E2E_SCRATCH/expected.png" null: 2>&1 |
        sed 's/.*(\(.*\)).*/\1/'
}

# True when A < B for two decimal numbers.
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

e2e_begin mission_won ${W}x${H} || exit 1
e2e_sprint_as_mission1

e2e_settings "<?xml version=\"1.0\"?>
<Resolution X=\"$W\" Y=\"$H\" />
<Fullscreen Value=\"0\" />
<VSync Value=\"0\" />
<Mission Value=\"qWz517\" />"
e2e_launch
e2e_wait_window && e2e_focus || e2e_fail "the window did not come up"

e2e_wait_main_screen
e2e_click $((W * 500 / 1000)) $((H * 497 / 1000)) # Start
sleep 1
e2e_screenshot "$E2E_SCRATCH/selection_before.png"
locked=$(distance_to_image "$E2E_SCRATCH/selection_before.png" "$E2E_RUN/data/2d/menu/b02l_no.jpg" \
    $((W * 265 / 1000 + 1)) $((H * 180 / 1000 + 1)) $((W * 225 / 1000 - 2)) $((H * 220 / 1000 - 2)))
below "$locked" 0.1 || e2e_fail "mission 2 is not locked at progress level 1 (distance $locked)"

e2e_click $((W * 132 / 1000)) $((H * 290 / 1000)) # mission 1
e2e_key_down w

# The place image fills the middle of the screen once the player is through.
place_at=
for i in $(seq 1 90); do
    sleep 0.5
    e2e_screenshot "$E2E_SCRATCH/race.png"
    d=$(distance_to_image "$E2E_SCRATCH/race.png" "$E2E_RUN/data/2d/others/place01.png" \
        $((W * 375 / 1000)) $((H * 250 / 1000)) $((W / 4)) $((H / 2)))
    if below "$d" 0.08; then
        place_at=$i
        cp "$E2E_SCRATCH/race.png" "$E2E_SCRATCH/finish.png"
        break
    fi
    cp "$E2E_SCRATCH/race.png" "$E2E_SCRATCH/before_finish.png"
done
[ -n "$place_at" ] || e2e_fail "no place image within 45 s of choosing mission 1 (distance $d)"

if [ -n "$place_at" ]; then
    # The final time stands still where the race clock ran: white text, the same a second later.
    sleep 1
    e2e_screenshot "$E2E_SCRATCH/finish_later.png"
    clock="-crop $((W / 5))x$((H * 7 / 100))+$((W * 2 / 5))+$((H * 8 / 100)) +repage"
    # Only the white text: the sky behind it drifts.
    convert "$E2E_SCRATCH/finish.png" $clock -fill black +opaque white "$E2E_SCRATCH/time1.png"
    convert "$E2E_SCRATCH/finish_later.png" $clock -fill black +opaque white "$E2E_SCRATCH/time2.png"
    white=$(convert "$E2E_SCRATCH/time1.png" -format '%[fx:int(mean*w*h)]' info:)
    [ "${white:-0}" -gt 100 ] || e2e_fail "no final time in the race clock's place ($white white pixels)"
    [ "$(e2e_diff "$E2E_SCRATCH/time1.png" "$E2E_SCRATCH/time2.png")" = 0 ] ||
        e2e_fail "the final time changed after the finish"

    # 8 s after the finish the race ends and the mission selection opens with mission 2 open.
    sleep 9
    e2e_key_up w
    saved=$(cat "$E2E_DIR/settings.xml" 2> /dev/null)
    grep -q '<Mission Value="Pkm208" />' <<< "$saved" ||
        e2e_fail "settings.xml does not hold progress level 2: $saved"
    e2e_screenshot "$E2E_SCRATCH/selection_after.png"
    open=$(distance_to_image "$E2E_SCRATCH/selection_after.png" "$E2E_RUN/data/2d/menu/b02_no.jpg" \
        $((W * 265 / 1000 + 1)) $((H * 180 / 1000 + 1)) $((W * 225 / 1000 - 2)) $((H * 220 / 1000 - 2)))
    below "$open" 0.1 || e2e_fail "mission 2 is not open after the win (distance $open)"
    one=$(distance_to_image "$E2E_SCRATCH/selection_after.png" "$E2E_RUN/data/2d/menu/b03l_no.jpg" \
        $((W * 510 / 1000 + 1)) $((H * 180 / 1000 + 1)) $((W * 225 / 1000 - 2)) $((H * 220 / 1000 - 2)))
    below "$one" 0.1 || e2e_fail "mission 3 is open too (distance $one)"
fi
e2e_key_up w

e2e_quit
grep -q '<Mission Value="Pkm208" />' "$E2E_DIR/settings.xml" || e2e_fail "the progress was lost at exit"
e2e_end
exit $E2E_FAILED
