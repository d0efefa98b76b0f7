#!/bin/bash
# Shortcut files on both machines: the win64 build saves a link for each case
# of tests/integration/shortcut_cases.cpp through the real shell-link object
# under wine64; the simulated machine saves its own for the same calls and
# reads the win64 build's with its link reader; the shell-link object of wine64
# then reads the machine's links and its own. Every reading must give the
# case's target and description.
#
# Usage: tests/wine/shortcut_compare.sh WIN64_DIR SIM_DIR
# Uses $WINEPREFIX when it names a prefix that exists (tests/wine/run.sh makes
# one), else makes a private prefix of its own and removes it afterwards.
# Exit code 0 only when every reading agrees.
set -uo pipefail
win64=$(realpath -m "${1:?WIN64_DIR}")
sim=$(realpath -m "${2:?SIM_DIR}")
scratch=$(mktemp -d)
source "$(dirname "$0")/wine_env.sh"
trap wine_cleanup EXIT

for f in "$win64/shortcut_links.exe" "$sim/test_integration"; do
  [ -f "$f" ] || { echo "FAIL shortcut exchange: $f not built"; exit 1; }
done

if ! wine_shared_prefix; then
  echo "FAIL shortcut exchange: wineboot -i failed in $WINEPREFIX"
  exit 1
fi
folder=$WINEPREFIX/drive_c/VelkorLinks
rm -rf "$folder"
mkdir -p "$folder"
cp "$win64/shortcut_links.exe" "$scratch/"

links() { timeout -k 5 60 "$wine" "$scratch/shortcut_links.exe" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# 1. The win64 build's links, and the code page it ran with.
if ! out=$(links write 'C:\VelkorLinks' 2>"$scratch/write.err"); then
  echo "FAIL shortcut exchange: the win64 build could not save its links"
  sed 's/^/  /' "$scratch/write.err"
  exit 1
fi
acp=$(sed -n 's/^acp //p' <<<"$out")

# 2. The simulated machine's links for the same calls; its reading of the win64 links.
if ! VLK_SHORTCUT_EXCHANGE=$folder VLK_SHORTCUT_ACP=${acp:-1252} "$sim/test_integration" \
     --gtest_filter='ShortcutExchange.*' --gtest_color=no >"$scratch/sim.log" 2>&1; then
  echo "FAIL shortcut exchange: on the simulated machine"
  sed 's/^/  /' "$scratch/sim.log" | grep -v '^  \[' | head -60
  exit 1
fi

# 3. wine64 reads both.
failed=0
for side in sim win; do
  if ! links read "C:\\VelkorLinks\\$side" >"$folder/wine-reads-$side.txt" 2>"$scratch/read.err"; then
    echo "FAIL shortcut exchange: wine64 could not read the $side links"
    sed 's/^/  /' "$scratch/read.err"
    failed=1
  fi
done
"$wineserver" -w

for reading in wine-reads-sim wine-reads-win sim-reads-win; do
  if ! diff -u --label expected "$folder/expected.txt" --label "$reading" "$folder/$reading.txt" \
       >"$scratch/diff"; then
    echo "FAIL shortcut exchange: $reading differs from the calls (code page ${acp:-?})"
    sed 's/^/  /' "$scratch/diff" | head -40
    failed=1
  fi
done
if [ $failed -eq 0 ]; then
  echo "ok   shortcut files: wine64 reads the simulated machine's links, and both read wine64's, with target and description (code page $acp)"
  rm -rf "$folder"
  exit 0
fi
exit 1
