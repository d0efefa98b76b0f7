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
source "$here/wine_env.sh"
setup_py=$here/setup_compare.py
program_folder='C:\Program Files\Velkor'
installed_files=(Velkor.exe Velkor.hlp Vlk.txt vlkext.dll vlkext64.dll
                 Formats/Cab.fmt Formats/Lzh.fmt Formats/Readme.txt)

# A fresh prefix in $scratch/prefix with the archiver installed; its desktop
# is a folder of the prefix (wine makes it a link to the user's home).
# Extra files to put beside the program may follow (host paths).
setup_prefix() {
  own_prefix=$scratch/prefix
  wine_new_prefix "$own_prefix" || return 1
  local user desktop folder=$WINEPREFIX/drive_c/Program\ Files/Velkor f
  for user in "$WINEPREFIX"/drive_c/users/*; do
    desktop=$user/Desktop
    if [ -L "$desktop" ]; then rm -f "$desktop" && mkdir -p "$desktop"; fi
  done
  mkdir -p "$folder/Formats"
  cp "$win64/uninstall.exe" "$folder/" || return 1
  for f in "${installed_files[@]}"; do printf 'Velkor archiver: %s\r\n' "$f" >"$folder/$f"; done
  # The list as the sample machine's: each folder after its files, then the
  # new-archive templates setup writes, the program file and the list itself.
  printf '%s\r\n' "${installed_files[@]}" Formats vlknew.dat zipnew.dat uninstall.exe \
    Uninstall.lst | sed 's|/|\\|' >"$folder/Uninstall.lst"
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
