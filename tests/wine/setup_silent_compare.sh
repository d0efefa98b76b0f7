#!/bin/bash
# Silent setup on both machines: uninstall.exe /setup /s of the win64 build
# under wine64 and the sim program on the simulated machine, from the same
# start (see setup_common.sh). What each run changed in HKEY_CLASSES_ROOT,
# in HKLM\Software\Microsoft\Windows\CurrentVersion and under
# HKCU\Software\Velkor, and the shortcuts each made, must agree.
#
# Usage: tests/wine/setup_silent_compare.sh WIN64_DIR SIM_DIR
# Uses $DISPLAY when tests/wine/run.sh has set it up, else an Xvfb display of
# its own; the prefix is always its own (a fresh one, for the same start).
# Exit code 0 only when both runs succeeded and agree.
set -uo pipefail
win64=$(realpath -m "${1:?WIN64_DIR}")
sim=$(realpath -m "${2:?SIM_DIR}")
scratch=$(mktemp -d)
source "$(dirname "$0")/setup_common.sh"
trap wine_cleanup EXIT

for f in "$win64/uninstall.exe" "$sim/uninstall"; do
  [ -f "$f" ] || { echo "FAIL silent setup: $f not built"; exit 1; }
done
wine_locale
wine_display

# The simulated machine.
machine=$scratch/sim
sim_machine "$machine" || { echo "FAIL silent setup: no simulated machine"; exit 1; }
sim_exports "$machine" "$scratch/sim-before"
sim_links "$machine" "$scratch/sim-links-before"
if ! "$sim/uninstall" --machine "$machine" --trace "$scratch/sim-trace.txt" -- /setup /s \
     >"$scratch/sim.log" 2>&1; then
  echo "FAIL silent setup on the simulated machine:"
  sed 's/^/  /' "$scratch/sim.log" | head -40
  exit 1
fi
sim_exports "$machine" "$scratch/sim-after"
sim_links "$machine" "$scratch/sim-links-after"

# wine64.
setup_prefix || { echo "FAIL silent setup: no wine prefix with the program"; exit 1; }
wine_exports "$scratch/wine-before"
wine_links "$scratch/wine-links-before"
wine_program 60 /setup /s
rc=$?
if [ $rc -ne 0 ]; then
  echo "FAIL silent setup under wine64: exit code $rc"
  exit 1
fi
wine_exports "$scratch/wine-after"
wine_links "$scratch/wine-links-after"

failed=0
python3 "$setup_py" compare "$scratch/sim-before" "$scratch/sim-after" \
  "$scratch/wine-before" "$scratch/wine-after" >"$scratch/diff"
if [ ! -s "$scratch/diff" ]; then
  changed=$(python3 "$setup_py" changes "$scratch/wine-before" "$scratch/wine-after" | wc -l)
  echo "ok   uninstall.exe /setup /s: the registry changes agree ($changed lines)"
else
  echo "FAIL uninstall.exe /setup /s: the registry changes differ"
  sed 's/^/  /' "$scratch/diff" | head -120
  failed=1
fi
python3 "$setup_py" links "$scratch/sim-links-before" "$scratch/sim-links-after" >"$scratch/sim-made"
python3 "$setup_py" links "$scratch/wine-links-before" "$scratch/wine-links-after" >"$scratch/wine-made"
if [ ! -s "$scratch/wine-made" ]; then
  echo "FAIL silent setup: wine64 got no shortcut"
  failed=1
elif diff -u --label simulated "$scratch/sim-made" --label wine64 "$scratch/wine-made" \
     >"$scratch/diff"; then
  echo "ok   uninstall.exe /setup /s: the same shortcuts ($(wc -l <"$scratch/wine-made"))"
else
  echo "FAIL uninstall.exe /setup /s: the shortcuts differ"
  sed 's/^/  /' "$scratch/diff"
  failed=1
fi
exit $failed
