#!/usr/bin/env bash
# Settings this platform stands in for: graphic mode "DirectX" opens OpenGL and says so, and
# vertical sync under Xvfb raises an X error that is only a warning. Both games run, close with
# code 0 and write the setting back as it was.
. "$E2E_HERE/harness.sh"

# mode NAME ELEMENT WARNING: settings.xml holds ELEMENT; the output has a line starting WARNING.
mode() {
    local name=$1 element=$2 warning=$3
    e2e_begin "$name" || { e2e_fail "$name: no Xvfb"; return; }
    e2e_settings "<?xml version=\"1.0\"?>
<Resolution X=\"1280\" Y=\"1024\" />
<Fullscreen Value=\"0\" />
$element"
    e2e_launch
    e2e_wait_window && e2e_focus || e2e_fail "$name: the window did not come up"
    sleep 2
    e2e_quit
    e2e_stdout | grep -q "^$warning" || e2e_fail "$name: no line starting \"$warning\""
    grep -qF "$element" "$E2E_DIR/settings.xml" || e2e_fail "$name: settings.xml lost $element"
    e2e_end
}

mode directx '<GraphicMode Value="DirectX" />' 'Warning: DirectX is not available on this system, the game uses OpenGL'
mode vsync '<VSync Value="1" />' 'Warning: X error '

exit $E2E_FAILED
