#!/bin/bash
# The tests under Windows: the checks of the 32-bit product, and the win64 build
# run under wine64 in a private prefix made fresh for this run (inside the
# win64 build folder), with a virtual display for the program's windows.
#
# Usage: tests/wine/run.sh [BUILD_ROOT]     (BUILD_ROOT/win32, /win64 and /sim)
#        tests/wine/run.sh WIN64_DIR WIN32_DIR [SIM_DIR]
# Prints one line per check and closes with "N passed, N failed"; the exit
# code is 0 only when every check passed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

if [ $# -ge 2 ]; then
  win64=$1 win32=$2 sim=${3:-$root/build/sim}
else
  win64=${1:-$root/build}/win64 win32=${1:-$root/build}/win32 sim=${1:-$root/build}/sim
fi
win64=$(realpath -m "$win64")
win32=$(realpath -m "$win32")
sim=$(realpath -m "$sim")

passed=0
failed=0
pass() { echo "ok   $*"; passed=$((passed + 1)); }
fail() { echo "FAIL $*"; failed=$((failed + 1)); }

# --- The 32-bit product, checked (these machines run no 32-bit code): PE32,
# GUI subsystem, system DLLs only, at most 100 KB.
# The 64-bit one is built the same way, without the size budget.
if "$here/check_pe.sh" "$win32/uninstall.exe" pe32 102400; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi
if "$here/check_pe.sh" "$win64/uninstall.exe" pe32+; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi
# The check itself must reject a program that needs the toolchain's DLLs.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
source "$here/wine_env.sh"
if printf '#include <string>\nint main(int c, char**) { return std::string(c, 0x41).size(); }\n' |
   i686-w64-mingw32-g++-win32 -mwindows -x c++ - -o "$scratch/dynamic.exe" 2>/dev/null; then
  if out=$("$here/check_pe.sh" "$scratch/dynamic.exe" pe32); then
    fail "PE check accepted a program importing the run-time DLLs: $out"
  elif grep -q 'libstdc++' <<<"$out"; then
    pass "PE check rejects a program importing the run-time DLLs"
  else
    fail "PE check rejected the dynamic program for another reason: $out"
  fi
else
  fail "PE check: could not build the dynamically linked sample"
fi

# --- The win64 build under wine64.
if [ ! -x "$wine" ]; then
  fail "wine64 missing: $wine (scripts/setup.sh installs it)"
  echo "$passed passed, $failed failed"
  exit 1
fi

# The Russian locale gives the ANSI code page 1251 and the OEM 866.
wine_locale
trap wine_cleanup EXIT
# The prefix of this run, inside the win64 build folder (ended at exit).
own_prefix=$win64/wine-prefix
if wine_new_prefix "$own_prefix"; then
  pass "wine prefix made: $WINEPREFIX"
else
  fail "wineboot -i failed in $WINEPREFIX"
fi

# A display of its own for the windows the program shows.
unset DISPLAY
wine_display || fail "no Xvfb display could be started"

# Runs a Windows program with a time limit; its exit code is returned.
run() {
  local limit=$1
  shift
  timeout -k 5 "$limit" "$wine" "$@"
}

# The platform conformance suite against the real API.
if compgen -G "$root/tests/conformance/*.cpp" >/dev/null; then
  suite=$win64/test_conformance.exe
  if [ -f "$suite" ]; then
    log=$scratch/conformance.log
    run 120 "$suite" --gtest_color=no 2>&1 | tr -d '\r' >"$log"
    rc=${PIPESTATUS[0]}
    # One check per test: the lines GoogleTest closes each test with.
    ok=$(grep -cE '^\[       OK \] .* \([0-9]+ ms\)$' "$log")
    bad=$(grep -cE '^\[  FAILED  \] .* \([0-9]+ ms\)$' "$log")
    passed=$((passed + ok))
    failed=$((failed + bad))
    echo "     conformance suite: $ok passed, $bad failed"
    if [ "$rc" -ne 0 ] || [ "$bad" -gt 0 ] || [ "$ok" -eq 0 ]; then
      [ "$bad" -gt 0 ] || fail "conformance suite ended with exit code $rc"
      grep -vE '^\[ RUN      \]|^\[       OK \]' "$log" | head -200 | sed 's/^/  /'
    fi
  else
    fail "conformance suite not built: $suite"
  fi
fi

# The robot, on a message box shown through the platform's MessageBoxA: finds
# it by caption, reads its text (code page 1251 on the screen, UTF-8 here),
# presses No, and the box's program sees No (7).
robot() { run 20 "$win64/robot.exe" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
if [ -f "$win64/robot.exe" ] && [ -f "$win64/show_box.exe" ] && [ -n "$xvfb_pid" ]; then
  caption="Проверка робота"
  run 30 "$win64/show_box.exe" "$caption" 'Первая строка\nВторая строка' &
  box=$!
  if robot wait-box "$caption" 15; then
    pass "robot finds the message box \"$caption\""
  else
    fail "robot: no message box \"$caption\" within 15 s"
  fi
  text=$(robot text "$caption")
  if [ "$text" = $'Первая строка\nВторая строка' ]; then
    pass "robot reads the box's text"
  else
    fail "robot read the box's text as: $text"
  fi
  robot press "$caption" 7
  wait $box
  rc=$?
  if [ $rc -eq 7 ] && robot wait-gone "$caption" 5 && ! robot wait-box "$caption" 0.2; then
    pass "robot presses No: the box closes, its program gets 7"
  else
    fail "robot pressed No: the box's program ended with $rc"
  fi
else
  fail "robot check not run: robot.exe, show_box.exe or the display missing"
fi

# The program itself: a copy in a folder of its own inside the prefix, so a
# run that went wrong and started the uninstall removes nothing else.
# The folder name has a blank, as an installation folder usually has.
folder="$WINEPREFIX/drive_c/Velkor Test"
mkdir -p "$folder"
if cp "$win64/uninstall.exe" "$folder/uninstall.exe" 2>/dev/null; then
  exe='C:\Velkor Test\uninstall.exe'
  run 30 "$exe" /clean
  rc=$?
  "$wineserver" -w
  if [ $rc -eq 0 ] && [ -f "$folder/uninstall.exe" ]; then
    pass "uninstall.exe /clean: exit code 0, nothing removed"
  else
    fail "uninstall.exe /clean: exit code $rc$([ -f "$folder/uninstall.exe" ] || echo ', program file removed')"
  fi

  start=$(date +%s%N)
  run 30 "$exe" /wait
  rc=$?
  elapsed=$((($(date +%s%N) - start) / 1000000))
  "$wineserver" -w
  if [ $rc -eq 0 ] && [ $elapsed -ge 2000 ] && [ -f "$folder/uninstall.exe" ]; then
    pass "uninstall.exe /wait: exit code 0 after $elapsed ms"
  else
    fail "uninstall.exe /wait: exit code $rc after $elapsed ms (a 2000 ms pause wanted)"
  fi

  # /warning: the message box of the program's own texts with its path in
  # them, read and closed by the robot; the program then ends with 0.
  caption="Удаление Velkor"
  run 30 "$exe" /warning &
  box=$!
  seen=
  if robot wait-box "$caption" 15; then
    seen=1
    text=$(robot text "$caption")
    want=$'Удаление завершено\nВы должны удалить C:\\Velkor Test\\uninstall.exe самостоятельно'
    if [ "$text" = "$want" ]; then
      pass "uninstall.exe /warning: \"$caption\" tells the user to delete the program file"
    else
      fail "uninstall.exe /warning: the box reads \"$text\", not \"$want\""
    fi
    robot press "$caption" 1
  else
    fail "uninstall.exe /warning: no box \"$caption\" within 15 s"
  fi
  wait $box
  rc=$?
  "$wineserver" -w
  if [ -n "$seen" ] && [ $rc -eq 0 ] && [ -f "$folder/uninstall.exe" ]; then
    pass "uninstall.exe /warning: exit code 0 once the box is closed, nothing removed"
  else
    fail "uninstall.exe /warning: exit code $rc$([ -n "$seen" ] || echo ' without showing its box')"
  fi
else
  fail "win64 program not built: $win64/uninstall.exe"
fi

# Scenarios that run on both machines and compare what they leave behind.
for compare in "$here"/*_compare.sh; do
  [ -f "$compare" ] || continue
  if bash "$compare" "$win64" "$sim"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done

# The warning message with its texts from each source (warning_*.sh), in this
# prefix and on this display.
for check in "$here"/warning_*.sh; do
  [ -f "$check" ] || continue
  if bash "$check" "$win64"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
