#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine on a
# virtual display. Extra arguments go to ctest (for example -R search). The
# long run of the random trees: CLEANER_SEEDS=1000 bash scripts/test.sh -R fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir=$(bash scripts/build.sh --tests | tail -n 1)
source scripts/wine.sh
if [ "$CLEANER_ARCH" != i686 ]; then
  echo "This machine cannot run 32-bit x86 code: the tests run the same sources built for x86-64 under wine64."
fi
unset DISPLAY
ensure_display
stop_all() {   # the display, and the wineservers of the tests' prefixes
  for prefix in "$dir"/wineprefix*; do WINEPREFIX="$PWD/$prefix" wineserver -k 2>/dev/null || true; done
  stop_display
}
trap stop_all EXIT
rm -f "$dir/fuzz-figures.txt"
status=0
ctest --test-dir "$dir" --output-on-failure -j2 "$@" | tee "$dir/ctest-output.txt" || status=$?
# Pictures of the dialog, for people (not a test): after a full run, the
# run command's demo on a display of its own takes them.
if [ $status = 0 ] && [ $# -eq 0 ]; then
  env -u DISPLAY bash scripts/run.sh >/dev/null 2>&1 \
    && echo "Screenshots: build/screenshots" || echo "The screenshots could not be taken."
fi
if [ -e "$dir/fuzz-figures.txt" ]; then
  echo "Random trees: $(paste -sd ' ' "$dir/fuzz-figures.txt")"
fi
# The tests' count, as the last line: the prefixes they run in are set-up
# steps, not tests.
results=$(grep -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: ' "$dir/ctest-output.txt" | grep -vE ': prefix\.' || true)
echo "$(grep -c ' Passed ' <<<"$results" || true) passed, $(grep -vc ' Passed ' <<<"$results" || true) failed"
exit $status
