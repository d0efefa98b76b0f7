#!/bin/bash
# Checks that every C++ source of the repository is formatted as the checked-in
# .clang-format says. Prints the files that are not; exit code 0 only when none.
# Usage: scripts/check_format.sh [--fix]   (--fix formats them in place)
set -uo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "FAIL formatting: clang-format missing"; exit 1; }
unformatted=()
while IFS= read -r f; do
  if [ "${1:-}" = "--fix" ]; then
    clang-format -i "$f"
  elif ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
    unformatted+=("$f")
  fi
done < <(git ls-files '*.cpp' '*.h')
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "FAIL formatting: not as .clang-format says (scripts/check_format.sh --fix):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "ok   formatting: every C++ source is as .clang-format says"
