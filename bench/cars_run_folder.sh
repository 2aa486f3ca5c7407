#!/usr/bin/env bash
# Lays out a run folder for the race step's growth with the number of cars: one mission copied as
# missions/<mission>_cars01, _cars04, _cars16 and _cars64, the player's car kept and its first
# computer car repeated on a grid behind it to make up the number (each with its own name and
# colour, all on the first car's computer path), data/ linked from the game's run folder.
# usage: bench/cars_run_folder.sh RUN_FOLDER OUT_FOLDER [MISSION]   (the mission defaults to m01)
set -eu
run=$(cd "$1" && pwd)
out=$2
mission=${3:-m01}
source=$run/missions/$mission
[ -f "$source/mission.xml" ] || { echo "no $source/mission.xml"; exit 1; }
mkdir -p "$out/missions"
ln -sfn "$run/data" "$out/data"
for cars in 1 4 16 64; do
    folder=$out/missions/${mission}_cars$(printf '%02d' "$cars")
    mkdir -p "$folder"
    for file in "$source"/*; do
        case $(basename "$file") in
            mission.xml) ;;
            # The computer cars' paths are named from the run folder.
            waypoints.xml) sed "s|missions/$mission/|missions/$(basename "$folder")/|g" "$file" > "$folder/waypoints.xml" ;;
            *) ln -sfn "$file" "$folder/" ;;
        esac
    done
    # The first computer car is the model; the others are left out.
    # The mission's own paths are named from the run folder.
    sed "s|missions/$mission/|missions/$(basename "$folder")/|g" "$source/mission.xml" |
    awk -v copies=$((cars - 1)) '
        /^<Vehicle / { inside = 1; block = "" }
        inside { block = block $0 "\n" }
        !inside { print }
        /^<\/Vehicle>/ {
            inside = 0
            if (block ~ /Controller Type="Manual"/) { print block; next }
            if (model != "") next
            model = block
            if (match(block, /<Position X="[^"]*" Y="[^"]*" Z="[^"]*"/)) {
                split(substr(block, RSTART, RLENGTH), p, "\"")
                x0 = p[2]; y0 = p[4]; z0 = p[6]
            }
            # Rows of four across the track, 4 m apart, from 16 m behind the model back in steps of 8 m.
            for (k = 0; k < copies; k++) {
                car = model
                sub(/^<Vehicle Name="[^"]*"/, "<Vehicle Name=\"Car" k "\"", car)
                pos = sprintf("<Position X=\"%g\" Y=\"%g\" Z=\"%g\"", x0 - 16 - 8 * int(k / 4), y0, z0 + 3 - 4 * (k % 4))
                sub(/<Position X="[^"]*" Y="[^"]*" Z="[^"]*"/, pos, car)
                printf "%s", car
            }
        }' > "$folder/mission.xml"
done
