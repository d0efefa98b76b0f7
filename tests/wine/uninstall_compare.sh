#!/bin/bash
# The uninstall from end to end, under wine64 and on the simulated machine,
# from the same start (see setup_common.sh): the archiver installed, setup
# with the stored choices (/setup /s), then the silent uninstall (/s), whose
# script runs after the program has exited. Afterwards on both machines every
# listed file and folder, the program file and the program folder are gone,
# the script has deleted itself, and the watched parts of the registry are as
# before setup except for what the uninstall leaves by design: the shell extension's
# named-handler keys (without their value) and the keys made on the way to
# the per-CLSID handler and approval keys.
#
# Usage: tests/wine/uninstall_compare.sh WIN64_DIR SIM_DIR
# Uses $DISPLAY when tests/wine/run.sh has set it up, else an Xvfb display of
# its own; the prefix is always its own (a fresh one, for the same start).
# Exit code 0 only when every check passed on both machines.
set -uo pipefail
win64=$(realpath -m "${1:?WIN64_DIR}")
sim=$(realpath -m "${2:?SIM_DIR}")
scratch=$(mktemp -d)
source "$(dirname "$0")/setup_common.sh"
trap wine_cleanup EXIT

for f in "$win64/uninstall.exe" "$sim/uninstall"; do
  [ -f "$f" ] || { echo "FAIL uninstall: $f not built"; exit 1; }
done
wine_locale
wine_display

failed=0
pass() { echo "ok   $*"; }
fail() { echo "FAIL $*"; failed=1; }

# The new-archive templates that setup writes into the program folder (the
# installation's list names them).
templates=(vlknew.dat zipnew.dat)

# What the registry still holds after setup and uninstall that it did not
# hold before, less what the uninstall leaves by design: the lines that are wrong.
leftovers() {
  python3 "$setup_py" changes "$1" "$2" | python3 "$here/round_trip_differences.py" nt
}

# The files that must be gone: $1 the host folder of C:\Program Files\Velkor,
# $2 the host folder of drive C:, $3 the machine's name for the messages.
check_files() {
  local folder=$1 drive=$2 name=$3 f left=()
  for f in "${installed_files[@]}" Formats "${templates[@]}" uninstall.exe Uninstall.lst; do
    [ -e "$folder/$f" ] && left+=("$f")
  done
  if [ ${#left[@]} -eq 0 ] && [ ! -e "$folder" ]; then
    pass "$name: every listed file, the program file and the program folder are gone"
  else
    fail "$name: left in the program folder: ${left[*]:-(the folder itself)}"
  fi
  local scripts
  scripts=$(find "$drive" -iname 'Uninstall_Vlk.Bat' 2>/dev/null)
  if [ -z "$scripts" ]; then
    pass "$name: the script has deleted itself"
  else
    fail "$name: the script is still there: $scripts"
  fi
}

check_registry() {
  local name=$1
  leftovers "$2" "$3" >"$scratch/leftovers"
  if [ ! -s "$scratch/leftovers" ]; then
    pass "$name: the registry is as before setup, less what the uninstall leaves by design"
  else
    fail "$name: the registry keeps what setup wrote:"
    sed 's/^/  /' "$scratch/leftovers" | head -60
  fi
}

# The simulated machine.
machine=$scratch/sim
if sim_machine "$machine"; then
  sim_exports "$machine" "$scratch/sim-before"
  if "$sim/uninstall" --machine "$machine" -- /setup /s >"$scratch/sim.log" 2>&1 &&
     "$sim/uninstall" --machine "$machine" --trace "$scratch/sim-trace.txt" -- /s \
       >>"$scratch/sim.log" 2>&1; then
    sim_exports "$machine" "$scratch/sim-after"
    check_files "$machine/drives/C/Program Files/Velkor" "$machine/drives/C" "simulated machine"
    check_registry "simulated machine" "$scratch/sim-before" "$scratch/sim-after"
  else
    fail "uninstall on the simulated machine:"
    sed 's/^/  /' "$scratch/sim.log" | head -40
  fi
else
  fail "uninstall: no simulated machine"
fi

# wine64.
if setup_prefix; then
  folder=$WINEPREFIX/drive_c/Program\ Files/Velkor
  wine_exports "$scratch/wine-before"
  if wine_program 60 /setup /s; then
    # The program starts the script and exits; wine_program waits for wine
    # to end, so for the script and the program runs it makes as well.
    wine_program 90 /s
    rc=$?
    [ $rc -eq 0 ] || fail "uninstall.exe /s under wine64: exit code $rc"
    wine_exports "$scratch/wine-after"
    check_files "$folder" "$WINEPREFIX/drive_c" "wine64"
    check_registry "wine64" "$scratch/wine-before" "$scratch/wine-after"
  else
    fail "uninstall.exe /setup /s under wine64 failed"
  fi
  # The program in a folder whose path holds Cyrillic letters, "%", "&" and
  # blanks: the script names it in the OEM code page with "%" doubled, and
  # the interpreter finds it.
  odd='Программы\Velkor 100% & Co'
  odd_host=$WINEPREFIX/drive_c/Программы/Velkor\ 100%\ \&\ Co
  mkdir -p "$odd_host"
  cp "$win64/uninstall.exe" "$odd_host/"
  printf 'Vlk.txt\r\n' >"$odd_host/Uninstall.lst"
  printf 'Velkor archiver: Vlk.txt\r\n' >"$odd_host/Vlk.txt"
  timeout -k 5 90 "$wine" "C:\\$odd\\uninstall.exe" /s
  "$wineserver" -w
  if [ ! -e "$odd_host" ] && [ -d "$WINEPREFIX/drive_c/Программы" ]; then
    pass "wine64: C:\\$odd with its program file is gone after the script"
  else
    fail "wine64: C:\\$odd still holds: $(ls -A "$odd_host" 2>/dev/null | tr '\n' ' ')"
  fi
else
  fail "uninstall: no wine prefix with the program"
fi
exit $failed
