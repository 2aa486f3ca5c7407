#!/usr/bin/env bash
# Runs a test program on a private Xvfb of its own (WxH screen from SANDVOLT_XVFB_SCREEN, default
# 1600x1200, room for every window size the tests open); the server goes when the program ends.
# usage: run-under-xvfb.sh PROGRAM [ARGS...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb.sh"
scratch=$(mktemp -d /tmp/sandvolt-xvfb-XXXXXX)
xvfb_start "$scratch" "${SANDVOLT_XVFB_SCREEN:-1600x1200}" || { rm -rf "$scratch"; exit 1; }
"$@"
status=$?
xvfb_stop
rm -rf "$scratch"
exit $status
