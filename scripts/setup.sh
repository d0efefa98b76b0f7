#!/bin/bash
# Installs what the builds and tests need on a fresh Debian machine.
# Works as root or through sudo; does nothing when everything is present.
set -euo pipefail
packages=(cmake make g++ clang clang-format libclang-rt-14-dev googletest
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
          wine64 xvfb x11-utils imagemagick locales file python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# Wine takes the Russian ANSI code page (1251, OEM 866) only when the locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU.utf8$'; then
  $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
