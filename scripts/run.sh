#!/usr/bin/env bash
# Installs what is missing, builds, and starts the cleaner under Wine, in a
# prefix of its own (no drive Z:, so none of this machine's own files can be
# reached) whose drive D: holds a small demo tree of source projects with
# Debug and Release folders. On the display in DISPLAY the program simply
# starts (prefix build/run-prefix). Without one, it runs in a Wine desktop on
# a virtual display (prefix build/demo-prefix): one search of every drive, a
# screenshot after each step (build/screenshots/), then it is closed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir=$(bash scripts/build.sh --run | tail -n 1)
source scripts/wine.sh
if [ "$CLEANER_ARCH" != i686 ]; then
  echo "This machine cannot run 32-bit x86 code: running the same program built for x86-64."
fi

headless=1 options=(--desktop 800x600) prefix=build/demo-prefix
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  headless=0 options=() prefix=build/run-prefix
fi
use_prefix "$PWD/$prefix"
if [ ! -e "$WINEPREFIX/.ready" ]; then
  echo "Making the prefix $prefix with the demo drive D: ..."
  bash scripts/make-prefix.sh "$WINEPREFIX" "${options[@]}" D=hd:"$WINEPREFIX/demo"
fi
rm -rf "$WINEPREFIX/demo"
python3 scripts/make-demo.py "$WINEPREFIX/demo"
cp "$dir/Cleaner.exe" "$WINEPREFIX/drive_c/Cleaner.exe"

if [ $headless = 0 ]; then
  exec "$CLEANER_WINE" 'C:\Cleaner.exe'
fi

# No display: a virtual one, the program in a Wine desktop, and the driver,
# with a picture after each step.
cp "$dir/demo_driver.exe" "$WINEPREFIX/drive_c/demo_driver.exe"
ensure_display
finish() { wineserver -k 2>/dev/null || true; stop_display; }
trap finish EXIT
timeout -k 5 300 "$CLEANER_WINE" 'C:\Cleaner.exe' >/dev/null 2>&1 &
mkdir -p build/screenshots
for step in show:collapsed search:searching end:run about:about; do
  if ! timeout -k 5 200 "$CLEANER_WINE" 'C:\demo_driver.exe' "${step%%:*}"; then
    echo "The cleaner did not start, or did not come through the step ${step%%:*}." >&2
    exit 1
  fi
  import -window root -crop 800x600+0+0 "build/screenshots/${step#*:}.png"   # xwd showed the About box black
done
timeout -k 5 60 "$CLEANER_WINE" 'C:\demo_driver.exe' close || true
echo "Screenshots of the dialog: build/screenshots/ (collapsed, searching, run: after the search, about)"
