#!/bin/bash
# The file-association scenario on both machines: the take-over and give-back
# sequence run by the win64 program assoc_scenario.exe against the real
# registry under wine64, and by the sim unit test on a simulated machine; the
# two dumps must agree value for value.
#
# Usage: tests/wine/assoc_compare.sh WIN64_DIR SIM_DIR
# Uses $WINEPREFIX when it names a prefix that exists (tests/wine/run.sh makes
# one), else makes a private prefix of its own and removes it afterwards.
# Exit code 0 only when both runs succeeded and the dumps are equal.
set -uo pipefail
win64=$(realpath -m "${1:?WIN64_DIR}")
sim=$(realpath -m "${2:?SIM_DIR}")
scratch=$(mktemp -d)
source "$(dirname "$0")/wine_env.sh"
trap wine_cleanup EXIT

for f in "$win64/assoc_scenario.exe" "$sim/test_integration"; do
  [ -f "$f" ] || { echo "FAIL association scenario: $f not built"; exit 1; }
done

# The simulated machine's dump.
if ! VLK_ASSOC_SCENARIO_DUMP=$scratch/sim.txt "$sim/test_integration" \
     --gtest_filter='AssociationScenarioTest.*' --gtest_color=no >"$scratch/sim.log" 2>&1; then
  echo "FAIL association scenario on the simulated machine:"
  sed 's/^/  /' "$scratch/sim.log" | head -100
  exit 1
fi

# The real registry's, in a prefix that belongs to the tests.
if ! wine_shared_prefix; then
  echo "FAIL association scenario: wineboot -i failed in $WINEPREFIX"
  exit 1
fi
# A folder of its own for the program, where the scenario's template files go.
folder=$WINEPREFIX/drive_c/VelkorAssoc
mkdir -p "$folder"
cp "$win64/assoc_scenario.exe" "$folder/"
VLK_ASSOC_PRIVATE_PREFIX=1 timeout -k 5 60 "$wine" 'C:\VelkorAssoc\assoc_scenario.exe' \
  'C:\VelkorAssoc\dump.txt'
rc=$?
"$wineserver" -w
if [ $rc -ne 0 ] || [ ! -f "$folder/dump.txt" ]; then
  echo "FAIL association scenario under wine64: exit code $rc"
  exit 1
fi

if diff -u --label simulated "$scratch/sim.txt" --label wine64 "$folder/dump.txt" >"$scratch/diff"; then
  echo "ok   association take-over and give-back: the simulated machine and wine64 agree"
  rm -rf "$folder"
  exit 0
fi
echo "FAIL association take-over and give-back: the simulated machine and wine64 differ"
sed 's/^/  /' "$scratch/diff" | head -200
exit 1
