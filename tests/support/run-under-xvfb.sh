#!/usr/bin/env bash
# Runs a test program on a private Xvfb of its own: 1024 x 768 (the game's smallest screen), or
# XVFB_SCREEN (WxH) when set.
# usage: run-under-xvfb.sh PROGRAM [ARGS...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb.sh"
scratch=$(mktemp -d /tmp/sandvolt-xvfb-XXXXXX)
xvfb_start "$scratch" "${XVFB_SCREEN:-1024x768}" || { rm -rf "$scratch"; exit 1; }
"$@"
status=$?
xvfb_stop
rm -rf "$scratch"
exit $status
