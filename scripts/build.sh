#!/bin/bash
# Builds the three builds: build/sim (native, with the simulated machine and the
# tests), build/win32 (the product) and build/win64 (run under wine64).
# Usage: scripts/build.sh [sim|win32|win64 ...]   (all three by default)
set -euo pipefail
cd "$(dirname "$0")/.."
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=(sim win32 win64)
jobs=$(nproc)
for b in "${builds[@]}"; do
  case "$b" in
    sim)   extra=() ;;
    win32) extra=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel) ;;
    win64) extra=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake) ;;
    *) echo "unknown build: $b" >&2; exit 2 ;;
  esac
  cmake -S . -B "build/$b" -DVLK_BUILD="$b" "${extra[@]}" >/dev/null
  cmake --build "build/$b" -j "$jobs"
done
