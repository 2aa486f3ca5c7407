#!/usr/bin/env bash
# What a file is and who else uses it: the game reaches its window and ends with code 0 whatever
# stands in the place of its files, and the player's progress survives all of it.
#  1. Named pipes and links to /dev/zero in the place of settings.xml and the files read at the
#     start (texts, a shader, the font, the menu music, a music track, a splash image): nothing
#     blocks or fills the memory, each is named in a warning, the pipe settings.xml is kept aside.
#  2. A settings.xml the game (run as an ordinary user) may not read, or only write: it is said,
#     and at exit the file is kept aside as it was, never replaced.
#  3. A settings.xml that is a link stays one, and the save reaches the file it points to.
#  4. A second copy started in the same folder ends at once with a message; the first goes on.
#  5. The X server killed under the running game: the game ends with code 0.
. "$E2E_HERE/harness.sh"

W=1024 H=768
LEVEL2='<?xml version="1.0"?>
<Resolution X="1024" Y="768" />
<Fullscreen Value="0" />
<VSync Value="0" />
<Mission Value="Pkm208" />'

# A run folder whose data/ is a folder of links to the built one, so single files can be swapped.
private_data() {
    rm "$E2E_DIR/data"
    cp -as "$E2E_RUN/data" "$E2E_DIR/data"
}

# Starts the game and waits for its window; $1 says which case, the rest goes to e2e_launch.
start() {
    local what=$1
    shift
    e2e_launch "$@"
    e2e_wait_window 40 || { e2e_fail "$what: no window"; return 1; }
    e2e_focus
}

says() {
    grep -qF -- "$1" "$E2E_DIR/stdout.txt" || e2e_fail "the game did not say: $1"
}

# 1. pipes and endless devices
e2e_begin hostile-start "${W}x$H"
private_data
mkfifo "$E2E_DIR/settings.xml"
for file in data/fonts/komika_axis.ttf data/audio/menu_music.ogg data/2d/others/splash02.jpg; do
    rm "$E2E_DIR/$file" && mkfifo "$E2E_DIR/$file"
done
track=$(cd "$E2E_DIR" && ls data/audio/music/*.ogg | head -n 1)
rm "$E2E_DIR/$track" && mkfifo "$E2E_DIR/$track"
for file in data/translation.lang data/shaders/lighting.glsl; do
    rm "$E2E_DIR/$file" && ln -s /dev/zero "$E2E_DIR/$file"
done
if start "pipes"; then
    sleep 4
    e2e_quit
fi
says "Warning: settings.xml cannot be read (not a regular file)"
says "Warning: data/translation.lang could not be read (not a regular file)"
says "ERROR: shader file \"data/shaders/lighting.glsl\" could not be read (not a regular file)"
says "Warning: font file data/fonts/komika_axis.ttf could not be read (not a regular file)"
says "Sound Error: File \"data/audio/menu_music.ogg\" could not be read (not a regular file)."
says "Sound Error: File \"$(cd "$E2E_DIR" && pwd)/$track\" could not be read (not a regular file)."
says "Warning: Not opened, as it is no regular file: $(cd "$E2E_DIR" && pwd)/data/2d/others/splash02.jpg"
[ -p "$E2E_DIR/settings.xml.bad" ] || e2e_fail "the pipe in the place of settings.xml was not kept aside"
[ -f "$E2E_DIR/settings.xml" ] || e2e_fail "no new settings.xml was written"
e2e_end

# 2. a settings.xml the player may not read: no read right, or only the right to write
for mode in 000 200; do
    e2e_begin "hostile-unreadable-$mode" "${W}x$H"
    e2e_settings "$LEVEL2"
    chmod 755 "$E2E_SCRATCH"
    chmod 777 "$E2E_DIR"
    chown 65534:65534 "$E2E_DIR/settings.xml"
    chmod "$mode" "$E2E_DIR/settings.xml"
    if start "mode $mode" setpriv --reuid=65534 --regid=65534 --clear-groups; then
        sleep 3
        e2e_quit
    fi
    says "Warning: settings.xml cannot be read (Permission denied)"
    says "Warning: settings.xml is kept as settings.xml.bad"
    kept=$(stat -c %a "$E2E_DIR/settings.xml.bad" 2> /dev/null)
    [ -n "$kept" ] && [ $((8#$kept)) = $((8#$mode)) ] ||
        e2e_fail "mode $mode: the player's file was not kept aside as it was"
    cmp -s "$E2E_DIR/settings.xml.bad" <(printf '%s\n' "$LEVEL2") ||
        e2e_fail "mode $mode: the kept file lost its bytes"
    e2e_end
done

# 3. a link stays a link
e2e_begin hostile-link "${W}x$H"
mkdir "$E2E_SCRATCH/home"
printf '%s\n' "$LEVEL2" > "$E2E_SCRATCH/home/sandvolt.xml"
ln -s ../home/sandvolt.xml "$E2E_DIR/settings.xml"
if start "link"; then
    sleep 3
    e2e_quit
fi
[ -L "$E2E_DIR/settings.xml" ] || e2e_fail "settings.xml is no longer a link"
grep -q '<Mission Value="Pkm208" />' "$E2E_SCRATCH/home/sandvolt.xml" ||
    e2e_fail "the file the link points to lost the progress"
grep -q '<Music Value=' "$E2E_SCRATCH/home/sandvolt.xml" || e2e_fail "the save did not reach the linked file"
e2e_end

# 4. two copies in one folder
e2e_begin hostile-twice "${W}x$H"
e2e_settings "$LEVEL2"
if start "first copy"; then
    first=$E2E_PID
    (cd "$E2E_DIR" && exec env ALSOFT_DRIVERS=null ./sandvolt > second.txt 2>&1) &
    second=$!
    ended=
    for i in $(seq 1 100); do
        kill -0 "$second" 2> /dev/null || { ended=1; break; }
        sleep 0.1
    done
    if [ -z "$ended" ]; then
        e2e_fail "the second copy did not end"
        kill "$second"
    fi
    wait "$second"
    code=$?
    [ "$code" = 0 ] || e2e_fail "the second copy ended with code $code"
    grep -q "ERROR: Another copy of the game is already running in this folder; this one ends" \
        "$E2E_DIR/second.txt" || e2e_fail "the second copy did not say why it ends"
    kill -0 "$first" 2> /dev/null || e2e_fail "the first copy ended as well"
    e2e_quit
fi
e2e_end

# 5. the X server goes away
e2e_begin hostile-xkill "${W}x$H"
e2e_settings "$LEVEL2"
if start "x killed"; then
    sleep 3
    kill -KILL "$E2E_XVFB"
    wait "$E2E_XVFB" 2> /dev/null
    E2E_XVFB=
    e2e_wait_exit 20 || e2e_fail "the game outlived its X server"
    [ "${E2E_EXIT:-x}" = 0 ] || e2e_fail "the lost display ended the game with code ${E2E_EXIT:-none}"
    says "Warning: the connection to the X display is lost; the game ends"
fi
e2e_end
exit $E2E_FAILED
