#!/bin/bash
# The warning message of uninstall.exe under wine64 with its texts from each
# source: the program's own Russian strings (code page 1251), the English
# language module beside the program, the shipped English language file, and
# a language file whose translation holds printf directives (shown as text,
# the path put in for the first %s only). The robot finds each box by its
# caption, reads its text and presses OK.
#
# Usage: tests/wine/warning_texts.sh WIN64_DIR
# Uses $WINEPREFIX and $DISPLAY when tests/wine/run.sh has set them up, else
# makes a private prefix and an Xvfb display of its own. Prints one line per
# check; exit code 0 only when every check passed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
win64=$(realpath -m "${1:?WIN64_DIR}")

failed=0
pass() { echo "ok   $*"; }
fail() { echo "FAIL $*"; failed=1; }

scratch=$(mktemp -d)
source "$here/wine_env.sh"
trap wine_cleanup EXIT

for f in uninstall.exe vlklng.dll robot.exe; do
  [ -f "$win64/$f" ] || { fail "warning texts: $win64/$f not built"; exit 1; }
done

# The shipped language file's keys are those of code page 1251.
if ! wine_locale >/dev/null; then
  fail "warning texts: locale ru_RU.UTF-8 missing (code page 1251 needed)"
  exit 1
fi
wine_shared_prefix || { fail "warning texts: wineboot -i failed"; exit 1; }
wine_display || { fail "warning texts: no Xvfb display could be started"; exit 1; }

run() {
  local limit=$1
  shift
  timeout -k 5 "$limit" "$wine" "$@"
}
robot() { run 20 "$win64/robot.exe" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# The shipped language file with the translation of string 5106 (the entry
# after its comment line "; 5106: ...") replaced by $1.
with_translation_of_5106() {
  LC_ALL=C awk -v text="$1" '
    found && /^[0-9a-f]+="/ { print substr($0, 1, 10) text "\"\r"; found = 0; next }
    /^; 5106: / { found = 1 }
    { print }' "$root/lang/uninstall.lng"
}

# One run of /warning from folder C:\$1, which holds uninstall.exe and the
# files named after it (host paths); the box must read caption $2 and text $3
# ("<path>" standing for the program's path).
check_warning() {
  local name=$1 caption=$2 want=$3
  shift 3
  local folder="$WINEPREFIX/drive_c/$name"
  rm -rf "$folder"
  mkdir -p "$folder"
  cp "$win64/uninstall.exe" "$folder/"
  local f
  for f in "$@"; do cp "$f" "$folder/"; done
  want=${want//<path>/C:\\$name\\uninstall.exe}
  run 30 "C:\\$name\\uninstall.exe" /warning &
  local box=$!
  if robot wait-box "$caption" 15; then
    local text
    text=$(robot text "$caption")
    if [ "$text" = "$want" ]; then
      pass "/warning in C:\\$name: \"$caption\" reads \"${want//$'\n'/\\n}\""
    else
      fail "/warning in C:\\$name: \"$caption\" reads \"${text//$'\n'/\\n}\", not \"${want//$'\n'/\\n}\""
    fi
    robot press "$caption" 1 >/dev/null
  else
    fail "/warning in C:\\$name: no box \"$caption\" within 15 s (there are: $(robot list | tr '\n' ' '))"
    kill "$box" 2>/dev/null
  fi
  wait "$box"
  local rc=$?
  "$wineserver" -w
  [ $rc -eq 0 ] || fail "/warning in C:\\$name: exit code $rc"
}

check_warning "Velkor Own" "Удаление Velkor" \
  $'Удаление завершено\nВы должны удалить <path> самостоятельно'

check_warning "Velkor Module" "Velkor uninstall" $'Uninstall completed\nYou must delete <path> yourself' \
  "$win64/vlklng.dll"

cp "$root/lang/uninstall.lng" "$scratch/uninstall.lng"
check_warning "Velkor Language" "Velkor uninstall" $'Uninstall completed\nYou must delete <path> yourself' \
  "$scratch/uninstall.lng"

# printf directives in a translation are text: %s for the path once, the rest
# as it stands (a formatter would read arguments that were never given).
hostile='Delete %s, then %s %n %x %d %%s 100%'
mkdir -p "$scratch/hostile"
with_translation_of_5106 "$hostile" >"$scratch/hostile/uninstall.lng"
check_warning "Velkor Hostile" "Velkor uninstall" \
  $'Uninstall completed\nDelete <path>, then %s %n %x %d %%s 100%' "$scratch/hostile/uninstall.lng"

exit $failed
