#!/bin/bash
# The main job on the built-in sample machine: a silent setup, then a silent
# uninstall, then a restart of the machine, showing after each step what it
# changed in the registry and in the files. Installs what it needs first.
# Usage: scripts/demo.sh [MACHINE-FOLDER]   (default: build/demo-machine, made anew)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh sim >/dev/null
machine=${1:-build/demo-machine}
rm -rf "$machine"
sim=build/sim/uninstall
snap=$(mktemp -d)
trap 'rm -rf "$snap"' EXIT

snapshot() {  # the machine's registry and a listing of its files
  cp "$machine/registry.reg" "$snap/$1.reg"
  (cd "$machine/drives" && find . -mindepth 1 | sort | while read -r f; do
     if [ -d "$f" ]; then echo "$f/"; else echo "$f $(stat -c %s "$f") bytes"; fi
   done) > "$snap/$1.files"
}
show() {  # what changed from snapshot $1 to snapshot $2
  echo "--- registry changes"
  diff -u "$snap/$1.reg" "$snap/$2.reg" | tail -n +3 | grep -E '^[-+]' || echo "(none)"
  echo "--- file changes"
  diff -u "$snap/$1.files" "$snap/$2.files" | tail -n +3 | grep -E '^[-+]' || echo "(none)"
}

"$sim" --machine "$machine" --restart >/dev/null   # creates the sample machine
snapshot start
echo "=== uninstall.exe /setup /s"
"$sim" --machine "$machine" -- /setup /s
snapshot setup
show start setup
echo "=== uninstall.exe /s"
"$sim" --machine "$machine" -- /s
snapshot uninstall
show setup uninstall
echo "=== restart of the machine (the self-removal script and the deletions at restart have run)"
"$sim" --machine "$machine" --restart
snapshot restart
show uninstall restart
echo "=== from start to end"
show start restart
echo "The machine is in $machine."
