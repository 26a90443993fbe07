#!/usr/bin/env bash
# Builds the 32-bit program (build/Cleaner.exe) and, with --tests, the tests
# for the Wine this machine can run (build/ or build-x64/). Prints the test
# build folder last.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine.sh

cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCLEANER_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)" --target cleaner
if [ "${1:-}" = "--tests" ]; then
  if [ "$CLEANER_ARCH" = i686 ]; then
    dir=build
  else
    dir=build-x64
    cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCLEANER_TESTS=ON >/dev/null
  fi
  cmake --build "$dir" -j"$(nproc)"
  echo "$dir"
fi
