#!/usr/bin/env bash
# Makes the folder links the tests need below DRIVE_C/links: Wine's own
# CreateSymbolicLink makes nothing, so they come from the Linux side.
#   loop/sub/up        -> ..              (a link to its own ancestor)
#   loop/dangling      -> /nonexistent
#   tree/outside       -> ../elsewhere    (which holds a Debug folder)
#   inside/Debug/sub/escape -> canary     (a link inside a folder to delete)
#   swap/Debug         -> ../canary       (a listed folder since replaced by a link)
#   swap/via           -> ../elsewhere    (a link on the way to a listed folder)
set -euo pipefail
base=$1/links
rm -rf "$base"
mkdir -p "$base/loop/sub/Release" "$base/elsewhere/Debug" "$base/tree/Debug" \
         "$base/inside/Debug/sub" "$base/inside/Release" "$base/canary/deep" "$base/swap"
ln -s .. "$base/loop/sub/up"
ln -s /nonexistent "$base/loop/dangling"
ln -s ../elsewhere "$base/tree/outside"
echo precious >"$base/canary/precious.txt"
echo deeper >"$base/canary/deep/more.txt"
echo kept >"$base/elsewhere/Debug/kept.txt"
echo build output >"$base/inside/Debug/app.obj"
echo build output >"$base/inside/Release/app.obj"
ln -s ../../../canary "$base/inside/Debug/sub/escape"
ln -s ../canary "$base/swap/Debug"
ln -s ../elsewhere "$base/swap/via"
