#!/usr/bin/env bash
# The game's performance record: runs the benchmarks beside this script and prints one table of
# the figures against the goals the game is held to. Takes about ten minutes.
#   start-up to the first splash frame                          (startup.sh)
#   each mission's load, and its race step without drawing     (race_frame_bench, 30 s of racing)
#   the race step with 1, 4, 16 and 64 cars on mission 1       (race_frame_bench on cars_run_folder.sh)
#   frames per second at 1024 x 768, shadows 0/1/2, bloom off/on,
#   on m01 ("NormalFixed") and m02 ("Normal")                  (race_draw_bench under Xvfb)
#   the game's peak memory in races with shadows 2 and bloom   (race_memory.sh)
#   the menu's frames per second                               (menu.sh)
#   with OLD_BUILD: the drawn frame against that build's,
#   alternated in one run                                      (draw_ratio.sh)
# usage: bench/record.sh [BUILD_DIR [OLD_BUILD]]   (the build folder defaults to ./build)
# The benchmarks' own output is kept in /tmp/sandvolt-record-*.log.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
old=${2:+$(cd "$2" && pwd)}
bench=$build/bench/race_frame_bench
[ -x "$bench" ] || { echo "no $bench: build the project first"; exit 1; }
logs=/tmp/sandvolt-record
cars=$(mktemp -d /tmp/sandvolt-record-cars-XXXXXX)
trap 'rm -rf "$cars"' EXIT

rows=()
# row FIGURE MEASURED GOAL VERDICT
row() { rows+=("$(printf '%-66s %-22s %-26s %s' "$1" "$2" "$3" "$4")"); }
# at_most VALUE LIMIT: "met" or "missed"
at_most() { awk -v v="$1" -v l="$2" 'BEGIN { print (v != "" && v + 0 <= l + 0) ? "met" : "missed" }'; }
at_least() { awk -v v="$1" -v l="$2" 'BEGIN { print (v != "" && v + 0 >= l + 0) ? "met" : "missed" }'; }
shadow_type() { grep -o 'ShadowType Value="[A-Za-z]*"' "$build/run/missions/$1/mission.xml" | cut -d'"' -f2; }

echo "running startup.sh ..." >&2
"$here/startup.sh" "$build" 5 > "$logs-startup.log" 2>&1
start=$(sed -n 's/^start-up to the first splash frame: median \([0-9.]*\) ms.*/\1/p' "$logs-startup.log")
row "start-up to the first splash frame (median of 5)" "${start:-?} ms" "at most 100 ms" "$(at_most "$start" 100)"

echo "running race_frame_bench ..." >&2
"$bench" "$build/run" 30 > "$logs-race.log" 2>&1
while read -r mission n load median p99; do
    name=$(basename "$mission")
    row "load of $name ($(shadow_type "$name"), $n car$([ "$n" = 1 ] || echo s))" "$load ms" "at most 100 ms" "$(at_most "$load" 100)"
    if [ "$n" = 4 ]; then
        row "race step of $name, median / 99th pct" "$median / $p99 ms" "99th pct 0.1 ms, 4 cars" "$(at_most "$p99" 0.1)"
    else
        row "race step of $name, median / 99th pct" "$median / $p99 ms" "(goal is for 4 cars)" "-"
    fi
done < <(awk '$1 ~ /^missions\// && NF == 5' "$logs-race.log")

echo "running race_frame_bench with 1 to 64 cars ..." >&2
"$here/cars_run_folder.sh" "$build/run" "$cars" m01 > "$logs-cars.log" 2>&1
"$bench" "$cars" 30 >> "$logs-cars.log" 2>&1
while read -r mission n load median p99; do
    row "race step of m01 with $n car$([ "$n" = 1 ] || echo s), median / 99th pct" "$median / $p99 ms" "(shows the growth)" "-"
done < <(awk '$1 ~ /^missions\// && NF == 5' "$logs-cars.log")

echo "running race_draw_bench ..." >&2
"$here/../tests/support/run-under-xvfb.sh" "$build/bench/race_draw_bench" "$build/run" 60 m01 m02 \
    > "$logs-draw.log" 2>&1
while read -r shadows bloom a b; do
    for pair in "m01 $a" "m02 $b"; do
        set -- $pair
        goal=- verdict=-
        if [ "$shadows" = 0 ] && [ "$bloom" = on ]; then
            goal="at least 30 fps" verdict=$(at_least "$2" 30)
        fi
        row "fps 1024x768, shadows $shadows, bloom $bloom, $1 ($(shadow_type "$1"))" "$2 fps" "$goal" "$verdict"
    done
done < <(sed -n 's/^ *shadows \([0-9]\), bloom \(o[nf]*\) *\([0-9.]*\) ([^)]*) *\([0-9.]*\) (.*/\1 \2 \3 \4/p' "$logs-draw.log")

if [ -n "$old" ]; then
    echo "running draw_ratio.sh against $old ..." >&2
    "$here/draw_ratio.sh" "$old" "$build" 3 120 m01 m02 > "$logs-ratio.log" 2>&1
    while read -r mission fpsOld fpsNew ratio; do
        row "drawn frame against the old build, shadows 2, bloom on, $mission" \
            "$fpsOld -> $fpsNew fps (x$ratio)" "at least x2" "$(at_least "$ratio" 2)"
    done < <(sed -n 's/^shadows 2, bloom on *\(m[0-9]*\) *\([0-9.]*\) *\([0-9.]*\) *\([0-9.]*\)$/\1 \2 \3 \4/p' "$logs-ratio.log")
fi

echo "running race_memory.sh ..." >&2
"$here/race_memory.sh" "$build" 1 2 > "$logs-memory.log" 2>&1
peak=$(sed -n 's/^shadows 2 bloom 1: .* fps, peak \([0-9]*\) MB$/\1/p' "$logs-memory.log")
row "the game's peak memory, m01 and m02 raced with shadows 2 and bloom" "${peak:-?} MB" "at most 250 MB" "$(at_most "$peak" 250)"

echo "running menu.sh ..." >&2
"$here/menu.sh" "$build" 1 > "$logs-menu.log" 2>&1
menu=$(sed -n 's/^main screen: *median \([0-9.]*\) fps.*/\1/p' "$logs-menu.log")
row "menu frames per second (main screen)" "${menu:-?} fps" "-" "-"

echo
echo "Sandvolt performance record, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(git -C "$here" rev-parse --short HEAD 2> /dev/null)"
printf '%-66s %-22s %-26s %s\n' "figure" "measured" "goal" "verdict"
printf '%s\n' "${rows[@]}"
