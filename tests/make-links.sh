#!/usr/bin/env bash
# Makes the folder links the tests need below DRIVE_C/links: Wine's own
# CreateSymbolicLink makes nothing, so they come from the Linux side.
#   loop/sub/up       -> ..               (a link to its own ancestor)
#   loop/dangling     -> /nonexistent
#   tree/outside      -> ../elsewhere     (which holds a Debug folder)
#   inside/Debug/sub/escape -> canary     (a link inside a folder to delete)
#   swap/decoy        -> ../canary        (renamed over swap/Debug by a test)
set -euo pipefail
base=$1/links
rm -rf "$base"
mkdir -p "$base/loop/sub/Release" "$base/elsewhere/Debug" "$base/tree/Debug" \
         "$base/inside/Debug/sub" "$base/inside/Release" "$base/canary/deep" "$base/swap/Debug"
ln -s .. "$base/loop/sub/up"
ln -s /nonexistent "$base/loop/dangling"
ln -s ../elsewhere "$base/tree/outside"
echo precious >"$base/canary/precious.txt"
echo deeper >"$base/canary/deep/more.txt"
echo build output >"$base/inside/Debug/app.obj"
echo build output >"$base/inside/Release/app.obj"
ln -s ../../../canary "$base/inside/Debug/sub/escape"
echo build output >"$base/swap/Debug/app.obj"
ln -s ../canary "$base/swap/decoy"

# The swap happens on the Linux side when a test asks for it (file
# swap/.swap-now): Wine's own rename of a link moves what it leads to. The
# watcher gives up after 20 minutes.
(
  cd "$base/swap"
  for _ in $(seq 12000); do
    if [ -e .swap-now ]; then
      mv Debug Debug.real && mv decoy Debug && touch .swapped
      break
    fi
    sleep 0.1
  done
) </dev/null >/dev/null 2>&1 &
