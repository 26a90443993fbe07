#!/usr/bin/env bash
# Builds the 32-bit program (build/Cleaner.exe) and, for the Wine this
# machine can run (build/ or build-x64/), with --tests everything (program,
# tests, benchmark), with --run the program and the demo's driver. With
# either, prints that build folder last.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine.sh

cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCLEANER_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)" --target cleaner
case "${1:-}" in
  --tests|--run)
    if [ "$CLEANER_ARCH" = i686 ]; then
      dir=build
    else
      dir=build-x64
      cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCLEANER_TESTS=ON >/dev/null
    fi
    if [ "$1" = --tests ]; then
      cmake --build "$dir" -j"$(nproc)"
    else
      cmake --build "$dir" -j"$(nproc)" --target cleaner demo_driver >&2
    fi
    echo "$dir" ;;
esac
