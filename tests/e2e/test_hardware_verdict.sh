#!/usr/bin/env bash
# A machine the game cannot run on: without S3TC, without shaders (OpenGL 1.5, no GLSL), or without
# any X display (where the desktop size stands in for a resolution no screen offers). Each run says
# why, ends with code 0 and leaves the player's settings.xml as it was.
. "$E2E_HERE/harness.sh"

settings='<?xml version="1.0"?>
<Resolution X="1280" Y="1024" />
<Fullscreen Value="0" />
<Mission Value="Ynv643" />'

# verdict NAME EXPECTED_LINES [VAR=VALUE...]: the game's own lines (those the verdict is made of)
# must be EXPECTED_LINES, in order.
verdict() {
    local name=$1 expected=$2
    shift 2
    e2e_begin "$name" || { e2e_fail "$name: no Xvfb"; return; }
    e2e_settings "$settings"
    cp "$E2E_DIR/settings.xml" "$E2E_SCRATCH/settings.before"
    e2e_launch "$@"
    e2e_wait_exit 30 || e2e_fail "$name: the game did not end by itself"
    [ "${E2E_EXIT:-x}" = 0 ] || e2e_fail "$name: exit code ${E2E_EXIT:-none}, expected 0"
    local got
    got=$(e2e_stdout | grep -E '\[PASSED\]|\[FAILED\]|^Application termination|^ERROR: ')
    [ "$got" = "$expected" ] || e2e_fail "$name: the lines were
$got
expected
$expected"
    cmp -s "$E2E_DIR/settings.xml" "$E2E_SCRATCH/settings.before" || e2e_fail "$name: settings.xml changed"
    e2e_end
}

verdict no_s3tc 'Shader Model 2.0 Support [PASSED]
S3TC Compression Support [FAILED]
Application termination...' MESA_EXTENSION_OVERRIDE=-GL_EXT_texture_compression_s3tc

verdict no_shaders_no_s3tc 'Shader Model 2.0 Support [FAILED]
S3TC Compression Support [FAILED]
Application termination...' MESA_GL_VERSION_OVERRIDE=1.5 \
    MESA_EXTENSION_OVERRIDE='-GL_ARB_shading_language_100 -GL_EXT_texture_compression_s3tc'

verdict no_display 'ERROR: Could not open the game window (1024 x 768, OpenGL)
Application termination...' DISPLAY=

exit $E2E_FAILED
