#!/bin/bash
# Builds the fuzz targets (BUILD_ROOT/fuzz, clang with libFuzzer, ASan and
# UBSan), runs every regression input of fuzz/regressions/<target>/ through
# its target, then fuzzes each target for a bounded time from its seed corpus
# fuzz/corpus/<target>/, two targets at a time. A crash, a sanitizer report, a
# failed check, a time-out or running out of memory is a finding: the input is
# kept in BUILD_ROOT/fuzz/findings/<target>/, and the target fails.
#
# Usage: fuzz/run.sh BUILD_ROOT [TARGET...]   (all targets by default)
#   FUZZ_SECONDS  fuzzing time per target (default 60; 0 runs the regressions only)
#   FUZZ_JOBS     targets fuzzed at the same time (default 2)
# Ends with the line "N passed, N failed", one count per target.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
[ $# -ge 1 ] || { echo "usage: fuzz/run.sh BUILD_ROOT [TARGET...]" >&2; exit 2; }
build_root=$(mkdir -p "$1" && cd "$1" && pwd)
shift
build="$build_root/fuzz"
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-2}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in fuzz/*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi

echo "fuzz: building in $build"
if ! CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DVLK_BUILD=fuzz >"$build_root/fuzz-configure.log" 2>&1; then
  cat "$build_root/fuzz-configure.log"
  echo "fuzz: configuring failed"
  echo "0 passed, ${#targets[@]} failed"
  exit 1
fi
programs=()
for t in "${targets[@]}"; do programs+=(--target "fuzz_$t"); done
if ! cmake --build "$build" -j 2 "${programs[@]}" >"$build_root/fuzz-build.log" 2>&1; then
  grep -E "error|Error" -A3 "$build_root/fuzz-build.log" | head -60
  echo "fuzz: building failed (log: $build_root/fuzz-build.log)"
  echo "0 passed, ${#targets[@]} failed"
  exit 1
fi

# Options of every run: findings are kept, a slow input or one that takes too
# much memory is a finding too; leaks are reported as the sanitizer finds them.
common=(-rss_limit_mb=2048 -timeout=20 -malloc_limit_mb=1024 -print_final_stats=0)
# The most bytes an input may have; the language file needs room past the
# 65,536 bytes that are read of it.
max_len() {
  case "$1" in
    language_file) echo 70000 ;;
    pe_file|res_file) echo 65536 ;;
    *) echo 16384 ;;
  esac
}

# Runs target $1; its log goes to $build/logs/$1.log. Exit code 0 when
# nothing was found.
run_target() {
  local t=$1 program="$build/fuzz_$1" findings="$build/findings/$1" log="$build/logs/$1.log"
  rm -rf "$findings"
  mkdir -p "$findings" "$build/logs"
  : >"$log"
  if [ ! -x "$program" ]; then
    echo "no program $program" >>"$log"
    return 1
  fi
  # Every regression input once: it must not fail any more.
  local regressions=()
  if [ -d "fuzz/regressions/$t" ]; then
    while IFS= read -r -d '' f; do regressions+=("$f"); done \
      < <(find "fuzz/regressions/$t" -type f -print0 | sort -z)
  fi
  if [ ${#regressions[@]} -gt 0 ]; then
    echo "== regressions: ${#regressions[@]} inputs" >>"$log"
    if ! (cd "$findings" && TMPDIR="$build/tmp" "$program" "${common[@]}" "${regressions[@]/#/$root/}") >>"$log" 2>&1; then
      echo "== a regression input fails again" >>"$log"
      return 1
    fi
  fi
  [ "$seconds" -gt 0 ] || return 0
  # A working corpus of its own, so the seeds in the repository stay as they are.
  local corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  echo "== fuzzing for $seconds s" >>"$log"
  (cd "$findings" && TMPDIR="$build/tmp" "$program" "${common[@]}" -max_total_time="$seconds" \
      -max_len="$(max_len "$t")" -artifact_prefix="$findings/" "$corpus" "$root/fuzz/corpus/$t") >>"$log" 2>&1
}

mkdir -p "$build/tmp"
passed=0
failed=0
report() {  # $1 target, $2 its exit code
  if [ "$2" -eq 0 ]; then
    passed=$((passed + 1))
    echo "fuzz: $1 passed"
  else
    failed=$((failed + 1))
    echo "fuzz: $1 FAILED (log: $build/logs/$1.log)"
    grep -E "ERROR|runtime error|check failed|Test unit written|regression input" "$build/logs/$1.log" | head -20
    ls "$build/findings/$1" 2>/dev/null | sed 's/^/  finding: /'
  fi
}

# Two targets at a time: each is one process on one core. Each run leaves its
# exit code in logs/<target>.rc.
mkdir -p "$build/logs"
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  rm -f "$build/logs/$t.rc"
  ( run_target "$t"; echo $? >"$build/logs/$t.rc" ) &
done
wait
for t in "${targets[@]}"; do
  report "$t" "$(cat "$build/logs/$t.rc" 2>/dev/null || echo 1)"
done
rm -rf "$build/tmp"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
