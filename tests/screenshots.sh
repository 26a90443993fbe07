#!/usr/bin/env bash
# screenshots.sh RUNNER TESTS PREFIX OUT: takes the pictures (inside the
# prefix's Wine desktop) and writes them to OUT as PNG files.
set -euo pipefail
runner=$1 tests=$2 prefix=$3 out=$4
rm -rf "$prefix/drive_c/shots"
"$runner" "$tests" --gtest_filter='Screenshots*'
mkdir -p "$out"
for picture in "$prefix"/drive_c/shots/*.bmp; do
  convert "$picture" "$out/$(basename "$picture" .bmp).png"
done
echo "Screenshots: $out"
