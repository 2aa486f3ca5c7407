#!/usr/bin/env bash
# The drawn race frame of two builds measured in one run: race_draw_bench of the old build and of
# the new one, alternated ROUNDS times so that both meet the same load on the machine, each with
# its own run folder (its own shaders). Prints the median frames per second of each build per
# configuration and mission, and the ratio new / old.
# usage: bench/draw_ratio.sh OLD_BUILD [NEW_BUILD] [ROUNDS] [FRAMES] [NORMALFIXED_MISSION NORMAL_MISSION]
#   NEW_BUILD defaults to ./build, ROUNDS to 3, FRAMES to 120, the missions to m01 and m02.
# The benchmarks' own output is kept in /tmp/sandvolt-ratio-*.log.
set -u
here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 1 ] || { sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 1; }
old=$(cd "$1" && pwd) || exit 1
new=$(cd "${2:-$here/../build}" && pwd) || exit 1
rounds=${3:-3}
frames=${4:-120}
missions=("${5:-m01}" "${6:-m02}")
for build in "$old" "$new"; do
    [ -x "$build/bench/race_draw_bench" ] || { echo "no $build/bench/race_draw_bench: build it first"; exit 1; }
done
logs=/tmp/sandvolt-ratio

# figures LOG: one line per configuration, "NAME|FPS_A|FPS_B"
figures() {
    awk '/^  (scene|shadows)/ {
        name = substr($0, 3, 34); sub(/ +$/, "", name)
        rest = substr($0, 37); n = split(rest, f, /[ ()\/]+/)
        k = 0; for (i = 1; i <= n; ++i) if (f[i] != "") v[++k] = f[i]
        print name "|" v[1] "|" v[4]
    }' "$1"
}

for ((r = 1; r <= rounds; ++r)); do
    for side in old new; do
        build=$old
        [ "$side" = new ] && build=$new
        echo "round $r of $rounds: $side build ..." >&2
        "$here/../tests/support/run-under-xvfb.sh" "$build/bench/race_draw_bench" "$build/run" "$frames" \
            "${missions[@]}" > "$logs-$side-$r.log" 2>&1
        figures "$logs-$side-$r.log" > "$logs-$side-$r.txt"
    done
done

echo "drawn race frames per second at 1024 x 768, $frames frames, median of $rounds alternated rounds"
echo "old: $old"
echo "new: $new"
printf '%-34s %-6s %9s %9s %7s\n' "configuration" "mission" "old fps" "new fps" "ratio"
cat "$logs"-old-1.txt | while IFS='|' read -r name _ _; do
    for m in 0 1; do
        median() {
            for ((r = 1; r <= rounds; ++r)); do
                awk -F'|' -v n="$name" -v c=$((m + 2)) '$1 == n { print $c }' "$logs-$1-$r.txt"
            done | sort -g | awk '{ v[NR] = $1 } END { print NR ? (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) : "" }'
        }
        a=$(median old)
        b=$(median new)
        ratio=$(awk -v a="$a" -v b="$b" 'BEGIN { print (a + 0 > 0 && b != "") ? sprintf("%.2f", b / a) : "?" }')
        printf '%-34s %-6s %9s %9s %7s\n' "$name" "${missions[$m]}" "$a" "$b" "$ratio"
    done
done
