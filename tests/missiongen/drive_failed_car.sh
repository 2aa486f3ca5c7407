#!/usr/bin/env bash
# The headless drive tool on a mission with a car that could not be built: the car is said and
# left standing, the others race to the end, and the tool reports the mission as not finished.
# usage: drive_failed_car.sh MISSIONDRIVE RUN_DIR
set -euo pipefail
drive=${1:?missiondrive}; run=${2:?run folder}
scratch=$(mktemp -d); trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/missions"
ln -s "$run/data" "$scratch/data"
cp -r "$run/missions/m01" "$scratch/missions/"
sed -i 's|<Laps Value="[0-9]*"/>|<Laps Value="1"/>|' "$scratch/missions/m01/mission.xml"
printf '<Vehicle Name="Broken" ParentName="NULL">\n<Mesh Value="data/cars/buggy/body_red.b3d"/>\n<Controller Type="AI"/>\n</Vehicle>\n' \
  >> "$scratch/missions/m01/mission.xml"
status=0
out=$("$drive" "$scratch" 1 2>&1) || status=$?
[ "$status" -eq 1 ] || { echo "FAIL: exit status $status (1 expected)"; echo "$out" | tail -n 20; exit 1; }
grep -q '^Warning: vehicle "Broken" was not built; it is left out of the drive$' <<<"$out" \
  || { echo "FAIL: no warning for the broken car"; exit 1; }
grep -qE '^missions/m01/ Broken +DNF' <<<"$out" || { echo "FAIL: the broken car is not listed as DNF"; exit 1; }
[ "$(grep -cE '^missions/m01/ .* finished ' <<<"$out")" -eq 4 ] || { echo "FAIL: not every built car finished"; exit 1; }
echo "PASS"
