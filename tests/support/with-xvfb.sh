#!/usr/bin/env bash
# Runs a command on an X server of its own (Xvfb, WxH screen from SANDVOLT_XVFB_SCREEN, default
# 1600x1200), for the tests that draw with OpenGL. The server picks a display number nobody else
# uses and goes when the command ends.
# usage: tests/support/with-xvfb.sh COMMAND [ARG...]
set -u
scratch=$(mktemp -d /tmp/sandvolt-xvfb-XXXXXX)
Xvfb -displayfd 3 -screen 0 "${SANDVOLT_XVFB_SCREEN:-1600x1200}x24" -nolisten tcp -noreset \
    3> "$scratch/display" > "$scratch/xvfb.log" 2>&1 &
xvfb=$!
for i in $(seq 1 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
done
if [ ! -s "$scratch/display" ]; then
    echo "could not start Xvfb"
    kill "$xvfb" 2> /dev/null
    rm -rf "$scratch"
    exit 1
fi
DISPLAY=":$(head -n 1 "$scratch/display")" "$@"
rc=$?
kill "$xvfb" 2> /dev/null
wait "$xvfb" 2> /dev/null
rm -rf "$scratch"
exit $rc
