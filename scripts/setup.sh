#!/usr/bin/env bash
# Installs what building and running the cleaner needs on Debian or Ubuntu:
# the MinGW-w64 i686 cross compiler, CMake, GoogleTest sources, 32-bit Wine,
# Xvfb and a few X tools used to take screenshots. Safe to run again.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686-posix)
command -v i686-w64-mingw32-windres   >/dev/null || need+=(binutils-mingw-w64-i686)
command -v cmake >/dev/null || need+=(cmake)
command -v ctest >/dev/null || need+=(cmake)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
command -v Xvfb  >/dev/null || need+=(xvfb)
command -v xwd   >/dev/null || need+=(x11-apps)
command -v convert >/dev/null && convert -version 2>/dev/null | grep -q ImageMagick || need+=(imagemagick)
command -v xdpyinfo >/dev/null || need+=(x11-utils)
command -v timeout >/dev/null || need+=(coreutils)
[ -d /usr/share/fonts/truetype/dejavu ] || need+=(fonts-dejavu-core)
[ -d /usr/share/wine/fonts ] || need+=(fonts-wine)

have_wine32=1
dpkg -s wine32:i386 >/dev/null 2>&1 || have_wine32=0
command -v wine >/dev/null || have_wine32=0

if [ ${#need[@]} -eq 0 ] && [ $have_wine32 -eq 1 ]; then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
if [ $have_wine32 -eq 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  need+=(wine wine32:i386)
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
