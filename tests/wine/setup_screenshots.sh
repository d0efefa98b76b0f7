#!/bin/bash
# Screenshots of SETUPDLG under wine64 for the documentation: the program's
# own Russian dialog, and the dialog of the English language module beside
# the program, each on an Xvfb display of its own (wine drawing the window
# frame itself) and taken with ImageMagick's import.
#
# Usage: tests/wine/setup_screenshots.sh WIN64_DIR [OUT_DIR]   (OUT_DIR: docs/)
# Writes OUT_DIR/setup-dialog-ru.png and OUT_DIR/setup-dialog-en.png; exit
# code 0 only when both were taken.
set -uo pipefail
win64=$(realpath -m "${1:?WIN64_DIR}")
out=$(realpath -m "${2:-$(dirname "$0")/../../docs}")
scratch=$(mktemp -d)
source "$(dirname "$0")/setup_common.sh"
trap wine_cleanup EXIT
unset DISPLAY

for f in "$win64/uninstall.exe" "$win64/vlklng.dll" "$win64/robot.exe"; do
  [ -f "$f" ] || { echo "FAIL screenshots: $f not built"; exit 1; }
done
command -v import >/dev/null && command -v xwininfo >/dev/null ||
  { echo "FAIL screenshots: ImageMagick's import and xwininfo are needed"; exit 1; }
wine_locale
wine_display
mkdir -p "$out"

# Takes the dialog with caption $1 into file $2; the program runs with the
# files $3... beside it.
shoot() {
  local caption=$1 file=$2
  shift 2
  setup_prefix "$@" || return 1
  # Without a window manager wine draws the caption and frame itself.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  "$wineserver" -w
  timeout -k 5 60 "$wine" "$program_folder\\uninstall.exe" /setup &
  local program=$! window
  timeout -k 5 30 "$wine" "$win64/robot.exe" wait-box "$caption" 20 >/dev/null || return 1
  sleep 1  # painted
  window=$(x_window "$caption")
  [ -n "$window" ] && import -window "$window" "$file"
  local rc=$?
  "$wineserver" -k
  wait $program 2>/dev/null
  return $rc
}

failed=0
if shoot "Установка Velkor" "$out/setup-dialog-ru.png"; then
  echo "ok   screenshot: $out/setup-dialog-ru.png"
else
  echo "FAIL screenshot of the Russian dialog"
  failed=1
fi
if shoot "Velkor setup" "$out/setup-dialog-en.png" "$win64/vlklng.dll"; then
  echo "ok   screenshot: $out/setup-dialog-en.png"
else
  echo "FAIL screenshot of the English dialog"
  failed=1
fi
exit $failed
