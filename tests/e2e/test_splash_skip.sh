#!/usr/bin/env bash
# Escape shortens the splash images' hold only when settings.xml was read normally. With Escape
# held from the first image on, a valid settings file brings the game to the (black) menu by about
# 14 s after start; without a settings file the second image still stands at that time, and the
# desktop resolution is what the game writes back.
. "$E2E_HERE/harness.sh"

# Starts the game and holds Escape through both splash holds; sets COLOURS to the number of colours
# on screen at 15.5 s.
launch_holding_escape() {
    COLOURS=0
    e2e_launch
    e2e_wait_window && e2e_focus || { e2e_fail "the window did not come up"; return; }
    sleep 4
    e2e_key_down Escape
    sleep 11.5
    e2e_screenshot "$E2E_SCRATCH/at15s.png"
    e2e_key_up Escape
    COLOURS=$(e2e_colours "$E2E_SCRATCH/at15s.png")
}

e2e_begin splash_skip || exit 1
e2e_settings '<?xml version="1.0"?>
<Resolution X="1280" Y="1024" />
<Fullscreen Value="0" />
<VSync Value="0" />'
launch_holding_escape
[ "$COLOURS" -le 2 ] || e2e_fail "with valid settings Escape did not skip the splash ($COLOURS colours at 15.5 s)"
e2e_quit
e2e_end
skipped_failed=$E2E_FAILED

E2E_FAILED=0
e2e_begin splash_no_settings 1152x864 || exit 1
launch_holding_escape
[ "$COLOURS" -gt 50 ] || e2e_fail "without settings.xml the splash was skipped ($COLOURS colours at 15.5 s)"
e2e_quit
grep -q '<Resolution X="1152" Y="864" />' "$E2E_DIR/settings.xml" 2> /dev/null ||
    e2e_fail "settings.xml does not hold the desktop resolution: $(cat "$E2E_DIR/settings.xml" 2>&1)"
e2e_end

[ "$skipped_failed" -eq 0 ] && [ "$E2E_FAILED" -eq 0 ]
