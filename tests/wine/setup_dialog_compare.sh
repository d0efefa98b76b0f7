#!/bin/bash
# The visible setup dialog on both machines: uninstall.exe /setup of the win64
# build under wine64, worked by the test robot as a user would (read the
# boxes, clear "integrate into the shell" (5118), see 5119 and 5120 follow it,
# press OK), and the sim program on the simulated machine with the same
# actions, from the same start (see setup_common.sh). The boxes must read
# the same on both at each step; afterwards "ShellExt" is 0, the program
# group folder has been opened, and the registry changes and the shortcuts
# agree.
#
# Usage: tests/wine/setup_dialog_compare.sh WIN64_DIR SIM_DIR
# Uses $DISPLAY when tests/wine/run.sh has set it up, else an Xvfb display of
# its own; the prefix is always its own (a fresh one, for the same start).
# Exit code 0 only when every check passed.
set -uo pipefail
win64=$(realpath -m "${1:?WIN64_DIR}")
sim=$(realpath -m "${2:?SIM_DIR}")
scratch=$(mktemp -d)
source "$(dirname "$0")/setup_common.sh"
trap wine_cleanup EXIT

failed=0
pass() { echo "ok   $*"; }
fail() { echo "FAIL $*"; failed=1; }

for f in "$win64/uninstall.exe" "$win64/robot.exe" "$sim/uninstall"; do
  [ -f "$f" ] || { fail "setup dialog: $f not built"; exit 1; }
done
wine_locale
wine_display
caption="Установка Velkor"

# The simulated machine, with the actions the robot will take.
machine=$scratch/sim
sim_machine "$machine" || { fail "setup dialog: no simulated machine"; exit 1; }
sim_exports "$machine" "$scratch/sim-before"
sim_links "$machine" "$scratch/sim-links-before"
printf 'click 5118\nok\n' >"$scratch/actions.txt"
if ! "$sim/uninstall" --machine "$machine" --actions "$scratch/actions.txt" \
     --trace "$scratch/sim-trace.txt" -- /setup >"$scratch/sim.log" 2>&1; then
  fail "setup dialog on the simulated machine:"
  sed 's/^/  /' "$scratch/sim.log" | head -40
  exit 1
fi
sim_exports "$machine" "$scratch/sim-after"
sim_links "$machine" "$scratch/sim-links-after"

# wine64, worked by the robot.
setup_prefix || { fail "setup dialog: no wine prefix with the program"; exit 1; }
wine_exports "$scratch/wine-before"
wine_links "$scratch/wine-links-before"
robot() { timeout -k 5 20 "$wine" "$win64/robot.exe" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
# The boxes as the robot reads them, in the form of `setup_compare.py shown`.
robot_boxes() {
  robot checks "$caption" >"$scratch/checks" && robot list "$caption" >"$scratch/list" &&
    python3 "$setup_py" robot-shown "$scratch/checks" "$scratch/list"
}
# Compares the boxes with the simulated machine's at its wait $1.
compare_boxes() {
  python3 "$setup_py" shown "$scratch/sim-trace.txt" "$1" >"$scratch/sim-boxes"
  if diff -u --label simulated "$scratch/sim-boxes" --label wine64 "$2" >"$scratch/diff"; then
    pass "setup dialog: $3 read the same on both machines"
  else
    fail "setup dialog: $3 differ"
    sed 's/^/  /' "$scratch/diff"
  fi
}

timeout -k 5 90 "$wine" "$program_folder\\uninstall.exe" /setup &
program=$!
if ! robot wait-box "$caption" 20; then
  fail "setup dialog: no dialog \"$caption\" within 20 s under wine64"
  exit 1
fi
robot_boxes >"$scratch/wine-boxes-1"
compare_boxes 1 "$scratch/wine-boxes-1" "the boxes of a first run"

robot press "$caption" 5118
# The click is posted: wait until the dialog has handled it.
for _ in $(seq 100); do
  robot_boxes >"$scratch/wine-boxes-2"
  grep -q '^5118 0 ' "$scratch/wine-boxes-2" && grep -q '^5119 . disabled' "$scratch/wine-boxes-2" && break
  sleep 0.1
done
compare_boxes 2 "$scratch/wine-boxes-2" "the boxes after clearing 5118 (5119 and 5120 disabled, still marked)"

[ -z "$(x_window Velkor)" ] || fail "setup dialog: a window \"Velkor\" before OK"
robot press "$caption" 1
robot wait-gone "$caption" 20 || fail "setup dialog: still open 20 s after OK"
wait $program
rc=$?
[ $rc -eq 0 ] || fail "setup dialog: uninstall.exe ended with exit code $rc"
# After OK the program group folder opens: a window named after the group.
opened=
for _ in $(seq 50); do
  [ -n "$(x_window Velkor)" ] && { opened=1; break; }
  sleep 0.2
done
if [ -n "$opened" ]; then
  pass "setup dialog: the program group folder \"Velkor\" was opened after OK"
else
  fail "setup dialog: no window of the program group folder after OK"
fi
# The folder window does not end by itself.
"$wineserver" -k
"$wineserver" -w

wine_exports "$scratch/wine-after"
wine_links "$scratch/wine-links-after"
shell=$(python3 "$setup_py" value "$scratch"/wine-after/*.reg 'HKEY_CURRENT_USER\Software\Velkor\Setup' ShellExt)
if [ "$shell" = "dword:00000000" ]; then
  pass "setup dialog: OK stored \"ShellExt\" 0"
else
  fail "setup dialog: \"ShellExt\" is $shell after OK"
fi
python3 "$setup_py" compare "$scratch/sim-before" "$scratch/sim-after" \
  "$scratch/wine-before" "$scratch/wine-after" >"$scratch/diff"
if [ ! -s "$scratch/diff" ]; then
  pass "setup dialog: the registry changes agree"
else
  fail "setup dialog: the registry changes differ"
  sed 's/^/  /' "$scratch/diff" | head -120
fi
python3 "$setup_py" links "$scratch/sim-links-before" "$scratch/sim-links-after" >"$scratch/sim-made"
python3 "$setup_py" links "$scratch/wine-links-before" "$scratch/wine-links-after" >"$scratch/wine-made"
if [ -s "$scratch/wine-made" ] && diff -u --label simulated "$scratch/sim-made" \
     --label wine64 "$scratch/wine-made" >"$scratch/diff"; then
  pass "setup dialog: the same shortcuts ($(wc -l <"$scratch/wine-made"))"
else
  fail "setup dialog: the shortcuts differ"
  sed 's/^/  /' "$scratch/diff"
fi
exit $failed
