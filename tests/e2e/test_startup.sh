#!/usr/bin/env bash
# Start-up and shut-down: the hardware checks pass, the splash shows, closing the window the way a
# window manager does ends the game with code 0 and writes settings.xml.
. "$E2E_HERE/harness.sh"

e2e_begin startup || exit 1
e2e_settings '<?xml version="1.0"?>
<Resolution X="1280" Y="1024" />
<Fullscreen Value="0" />
<VSync Value="0" />
<Music Value="30" />
<Mission Value="Ynv643" />'
e2e_launch
e2e_wait_window && e2e_focus || e2e_fail "the window did not come up"

sleep 3
e2e_screenshot "$E2E_SCRATCH/splash.png"
colours=$(e2e_colours "$E2E_SCRATCH/splash.png")
[ "${colours:-1}" -gt 50 ] || e2e_fail "the splash screen shows $colours colour(s), not an image"

e2e_quit

out=$(e2e_stdout)
grep -qx 'Shader Model 2.0 Support \[PASSED\]' <<< "$out" || e2e_fail "no shader [PASSED] line"
grep -qx 'S3TC Compression Support \[PASSED\]' <<< "$out" || e2e_fail "no S3TC [PASSED] line"
grep -q 'FAILED' <<< "$out" && e2e_fail "a [FAILED] line was printed"

saved=$(cat "$E2E_DIR/settings.xml" 2> /dev/null)
grep -q '<Resolution X="1280" Y="1024" />' <<< "$saved" || e2e_fail "settings.xml lost the resolution"
grep -q '<Fullscreen Value="0" />' <<< "$saved" || e2e_fail "settings.xml lost Fullscreen 0"
grep -q '<Music Value="30" />' <<< "$saved" || e2e_fail "settings.xml lost the music volume"
grep -q '<Mission Value="Ynv643" />' <<< "$saved" || e2e_fail "settings.xml lost the progress"
e2e_end
exit $E2E_FAILED
