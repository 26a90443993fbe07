#!/usr/bin/env bash
# Installs what is missing, builds, and runs the benchmark under Wine on a
# virtual display, in the tests' prefix (made first when missing). Trees are
# made once and kept in the prefix; BENCH_SIZES="10000" skips the large one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir=$(bash scripts/build.sh --tests | tail -n 1)
source scripts/wine.sh
unset DISPLAY
ensure_display
trap stop_display EXIT
if [ ! -e "$dir/wineprefix/.ready" ]; then
  ctest --test-dir "$dir" -R 'prefix\.(create|trees)' >/dev/null
fi
cmake --build "$dir" --target bench
WINEPREFIX="$PWD/$dir/wineprefix" wineserver -k 2>/dev/null || true
