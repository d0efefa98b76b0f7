#!/bin/bash
# What every script that runs programs under wine64 shares, sourced by them
# after they set $scratch (a temporary folder of theirs, removed by
# wine_cleanup): the wine programs, the environment, the Russian locale, the
# prefix and the display.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEARCH=win64 WINEDEBUG=-all
# No host menu entries; no Mono or Gecko installers.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="

# The Russian locale: ANSI code page 1251 and OEM 866. Fails, with a note,
# when the locale is missing (wine then takes code page 1252).
wine_locale() {
  if locale -a 2>/dev/null | grep -qi '^ru_RU.utf8$'; then
    export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
  else
    echo "note: locale ru_RU.UTF-8 missing, wine takes code page 1252"
    return 1
  fi
}

# A prefix made anew in folder $1, which becomes $WINEPREFIX.
wine_new_prefix() {
  export WINEPREFIX=$1
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1 && "$wineserver" -w
}

# The caller's prefix when $WINEPREFIX names one that exists (tests/wine/run.sh
# makes one), else a private one in $scratch/prefix, ended by wine_cleanup.
own_prefix=
wine_shared_prefix() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX/drive_c" ] && return 0
  own_prefix=$scratch/prefix
  wine_new_prefix "$own_prefix"
}

# A display: the caller's, else an Xvfb display of our own (stopped by
# wine_cleanup). Fails when none could be started.
xvfb_pid=
wine_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  command -v Xvfb >/dev/null || return 1
  local n
  for n in $(seq 141 240); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -nolisten tcp -screen 0 1024x768x24 >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  [ -e "/tmp/.X11-unix/X$n" ] || return 1
  export DISPLAY=":$n"
}

wine_cleanup() {
  [ -n "$own_prefix" ] && "$wineserver" -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$scratch"
}
