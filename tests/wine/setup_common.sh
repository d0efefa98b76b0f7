#!/bin/bash
# Steps shared by the setup scripts (setup_*_compare.sh, setup_screenshots.sh),
# sourced by them after they set $win64, $sim and $scratch.
#
# The same start on both machines: a fresh wine64 prefix with the archiver
# installed in C:\Program Files\Velkor (the win64 build's uninstall.exe and
# the files of the sample machine's installation), and the simulated sample
# machine made like such a prefix (Windows 6.1, no other program owning an
# archive type, see setup_compare.py sim-start).
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
setup_py=$here/setup_compare.py
program_folder='C:\Program Files\Velkor'
installed_files=(Velkor.exe Velkor.hlp Vlk.txt vlkext.dll vlkext64.dll
                 Formats/Cab.fmt Formats/Lzh.fmt Formats/Readme.txt)

export WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="

# The Russian locale: ANSI code page 1251, as the program's own texts need.
setup_locale() {
  if locale -a 2>/dev/null | grep -qi '^ru_RU.utf8$'; then
    export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
  else
    echo "note: locale ru_RU.UTF-8 missing, wine takes code page 1252"
  fi
}

# A display: the one the caller has, else an Xvfb of our own (stopped by
# setup_cleanup).
xvfb_pid=
setup_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 191 240); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -nolisten tcp -screen 0 1024x768x24 >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  export DISPLAY=":$n"
}

setup_cleanup() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && "$wineserver" -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$scratch"
}

# A fresh prefix in $scratch/prefix with the archiver installed; its desktop
# is a folder of the prefix (wine makes it a link to the user's home).
# Extra files to put beside the program may follow (host paths).
setup_prefix() {
  export WINEPREFIX=$scratch/prefix
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1 && "$wineserver" -w || return 1
  local user desktop folder=$WINEPREFIX/drive_c/Program\ Files/Velkor f
  for user in "$WINEPREFIX"/drive_c/users/*; do
    desktop=$user/Desktop
    if [ -L "$desktop" ]; then rm -f "$desktop" && mkdir -p "$desktop"; fi
  done
  mkdir -p "$folder/Formats"
  cp "$win64/uninstall.exe" "$folder/" || return 1
  for f in "${installed_files[@]}"; do printf 'Velkor archiver: %s\r\n' "$f" >"$folder/$f"; done
  printf '%s\r\n' "${installed_files[@]}" | sed 's|/|\\|' >"$folder/Uninstall.lst"
  for f in "$@"; do cp "$f" "$folder/" || return 1; done
}

# The X window of the top-level window named exactly $1 on the display, or nothing.
x_window() {
  xwininfo -root -tree 2>/dev/null | grep -F " \"$1\": " | awk '{ print $1; exit }'
}

# Runs the program in the prefix with a time limit, then waits for wine.
wine_program() {
  local limit=$1
  shift
  timeout -k 5 "$limit" "$wine" "$program_folder\\uninstall.exe" "$@"
  local rc=$?
  "$wineserver" -w
  return $rc
}

# The watched parts of the prefix's registry, exported into folder $1.
wine_exports() {
  mkdir -p "$1"
  local key n=0
  for key in HKEY_CLASSES_ROOT 'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion' \
             'HKEY_CURRENT_USER\Software\Velkor'; do
    n=$((n + 1))
    "$wine" regedit /E "C:\\vlk-export-$n.reg" "$key" >/dev/null 2>&1
    # A key that does not exist exports nothing.
    if [ -f "$WINEPREFIX/drive_c/vlk-export-$n.reg" ]; then
      mv "$WINEPREFIX/drive_c/vlk-export-$n.reg" "$1/$n.reg"
    fi
  done
  "$wineserver" -w
}

# Every shortcut file of the prefix, one host path a line, into file $1.
wine_links() {
  find "$WINEPREFIX/drive_c" -iname '*.lnk' | sort >"$1"
}

# The simulated sample machine in folder $1, made like a fresh prefix.
sim_machine() {
  "$sim/uninstall" --machine "$1" -- /clean >/dev/null || return 1
  python3 "$setup_py" sim-start "$1"
}

# Every shortcut file of the simulated machine in folder $1, into file $2.
sim_links() {
  find "$1/drives" -iname '*.lnk' | sort >"$2"
}

# The registry of the simulated machine in folder $1, copied into folder $2.
sim_exports() {
  mkdir -p "$2"
  cp "$1/registry.reg" "$2/machine.reg"
}
