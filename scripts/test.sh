#!/bin/bash
# Builds everything and runs every test: the unit tests on the simulated machine
# (under AddressSanitizer and UndefinedBehaviorSanitizer), the checks of the
# 32-bit product, and the tests under wine64. Installs what it needs first.
# Exit code 0 only when every test passed.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh || exit 1
scripts/build.sh sim win32 win64 || { echo "build failed"; exit 1; }

passed=0
failed=0
count() {  # adds "N passed, N failed" figures from a log to the totals
  local p f
  p=$(grep -Eo '^[A-Za-z]*:? ?[0-9]+ passed, [0-9]+ failed' "$1" | tail -1 | grep -Eo '[0-9]+ passed' | grep -Eo '[0-9]+')
  f=$(grep -Eo '^[A-Za-z]*:? ?[0-9]+ passed, [0-9]+ failed' "$1" | tail -1 | grep -Eo '[0-9]+ failed' | grep -Eo '[0-9]+')
  passed=$((passed + ${p:-0}))
  failed=$((failed + ${f:-0}))
}

status=0
log=$(mktemp)

echo "== unit tests on the simulated machine"
(cd build/sim && ctest --output-on-failure -j 2) | tee "$log"
rc=${PIPESTATUS[0]}
# ctest closes with "N% tests passed, F tests failed out of T".
summary=$(grep -Eo '[0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
if [ -n "$summary" ]; then
  f=$(awk '{ print $1 }' <<<"$summary")
  tot=$(awk '{ print $NF }' <<<"$summary")
  passed=$((passed + tot - f)); failed=$((failed + f))
fi
[ "$rc" -eq 0 ] || status=1

echo "== formatting"
if scripts/check_format.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi

for t in tests/wine/run.sh fuzz/run.sh; do
  [ -x "$t" ] || continue
  echo "== $t"
  "$t" "$root/build" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  count "$log"
done
rm -f "$log"

[ $status -eq 0 ] || [ $failed -gt 0 ] || failed=1
echo "$passed passed, $failed failed"
exit $status
