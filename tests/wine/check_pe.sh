#!/bin/bash
# Checks a Windows executable: the PE kind (pe32 for the 32-bit product, pe32+
# for 64-bit), the GUI subsystem, an import table of Windows system DLLs only
# (none of the toolchain's run-time DLLs), and optionally a size limit.
# Usage: check_pe.sh FILE pe32|pe32+ [MAX_BYTES]
# Prints one line per finding; exit code 0 when the file passes, 1 when not.
set -uo pipefail

file=${1:-}
kind=${2:-}
max=${3:-}
if [ -z "$file" ] || { [ "$kind" != pe32 ] && [ "$kind" != pe32+ ]; }; then
  echo "usage: check_pe.sh FILE pe32|pe32+ [MAX_BYTES]" >&2
  exit 2
fi

# What a Windows installation has in its system folder.
system_dlls="kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 comctl32 comdlg32 msvcrt
             shlwapi version uuid"

if [ "$kind" = pe32 ]; then
  objdump=i686-w64-mingw32-objdump format=pei-i386 magic=010b
else
  objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 magic=020b
fi

bad=0
fail() { echo "FAIL $file: $*"; bad=1; }

if [ ! -f "$file" ]; then
  fail "missing"
  exit 1
fi
if ! dump=$("$objdump" -p "$file" 2>&1); then
  fail "not a PE file: $(echo "$dump" | head -1)"
  exit 1
fi

grep -q "file format $format\$" <<<"$dump" || fail "not $format: $(grep -o 'file format .*' <<<"$dump")"
grep -Eq "^Magic[[:space:]]+$magic[[:space:]]" <<<"$dump" ||
  fail "optional header magic is not $magic ($kind)"
grep -Eq '^Subsystem[[:space:]]+00000002[[:space:]]' <<<"$dump" ||
  fail "subsystem is not Windows GUI (2): $(grep -E '^Subsystem' <<<"$dump" | tr -s '\t ' ' ')"

dlls=$(grep -E '^[[:space:]]*DLL Name:' <<<"$dump" | sed -E 's/.*DLL Name:[[:space:]]*//')
[ -n "$dlls" ] || fail "no imports found"
while IFS= read -r dll; do
  [ -n "$dll" ] || continue
  base=$(tr 'A-Z' 'a-z' <<<"${dll%.*}")
  ext=$(tr 'A-Z' 'a-z' <<<"${dll##*.}")
  if [ "$ext" != dll ] || ! grep -qw -- "$base" <<<"$system_dlls"; then
    fail "imports $dll, which is not a Windows system DLL"
  fi
done <<<"$dlls"

size=$(stat -c %s "$file")
if [ -n "$max" ] && [ "$size" -gt "$max" ]; then
  fail "$size bytes, more than $max"
fi

if [ $bad -eq 0 ]; then
  echo "ok   $file: $kind, Windows GUI, $size bytes, imports $(tr '\n' ' ' <<<"$dlls")"
fi
exit $bad
