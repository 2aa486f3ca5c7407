# Starts a private Xvfb: sourced by the whole-program harness and by run-under-xvfb.sh.
#
#   xvfb_start FOLDER [WxH]   starts Xvfb with a WxH screen (default 1280x1024), its display number
#                             and log in FOLDER; sets XVFB_PID and exports DISPLAY
#   xvfb_stop                 stops it

xvfb_start() {
    local folder=$1 screen=${2:-1280x1024} i
    # Xvfb picks a display number nobody else uses (other X servers on this machine, including
    # those of another test run in a container, which share the abstract socket names) and
    # writes it to the file. Without -noreset it would restart when the readiness probe below
    # disconnects, and a program connecting in that moment would find no display.
    Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset \
        3> "$folder/display" > "$folder/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for i in $(seq 1 100); do
        if [ -s "$folder/display" ]; then
            export DISPLAY=":$(head -n 1 "$folder/display")"
            xdotool getdisplaygeometry > /dev/null 2>&1 && return 0
        fi
        kill -0 "$XVFB_PID" 2> /dev/null || break
        sleep 0.1
    done
    kill "$XVFB_PID" 2> /dev/null
    XVFB_PID=
    echo "could not start Xvfb"
    return 1
}

xvfb_stop() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2> /dev/null
        wait "$XVFB_PID" 2> /dev/null
        XVFB_PID=
    fi
}
