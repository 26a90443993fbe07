#!/usr/bin/env bash
# measure.sh RUNNER BENCH PREFIX CLEANER BARE: the benchmark, in the tests' Wine
# prefix (BENCH_SIZES="10000" for the small tree alone). Trees are made natively once (kept in the prefix); the native
# figures (find, rm -rf) are timed here on the same trees.
set -euo pipefail
runner=$1 bench=$2 prefix=$3 cleaner=$4 bare=$5
here=$(dirname "$0")
drive=$prefix/drive_c
[ -e "$prefix/.ready" ] || { echo "No test prefix at $prefix: run the tests once first."; exit 1; }
cp "$cleaner" "$drive/Cleaner.exe"
cp "$bare" "$drive/bare.exe"

ms() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }

# Where a title's time goes, inside the process (the benchmark's own timers)
# and outside it: the CPU the wineserver and the X server spend on 3,000
# titles, less what they spend on a run with none.
ticks() { local sum=0; for pid in $(pgrep -x wineserver) $(pgrep -x wineserver64) $(pgrep -x Xvfb); do
  sum=$((sum + $(awk '{ print $14 + $15 }' "/proc/$pid/stat"))); done; echo $sum; }
WINEPREFIX=$prefix wineserver -p 60
before=$(ticks); "$runner" "$bench" titles 0 >/dev/null; idle=$(( $(ticks) - before ))
before=$(ticks); "$runner" "$bench" titles 3000; busy=$(( $(ticks) - before ))
echo "  outside the process: wineserver and X server $(( (busy - idle) * 1000000 / $(getconf CLK_TCK) / 3000 / 4 )) us a call (of the four kinds above, on average)"
"$runner" "$bench" rows
for size in ${BENCH_SIZES:-10000 100000}; do
  python3 "$here/../scripts/make_tree.py" search "$drive/bench/s$size" "$size"
  start=$(date +%s%N)
  find "$drive/bench/s$size" -type d | wc -l >/dev/null
  # Ten rounds of the program against its floor (BENCH_ROUNDS); single turns
  # vary by 10 % and more here. BENCH_BOTH=1: each round with the listing as
  # before and as now.
  rounds=${BENCH_ROUNDS:-10}
  CLEANER_TIMEOUT=$((600 + rounds * size * 12 / 1000)) \
    "$runner" "$bench" search "C:\\bench\\s$size" "$(ms "$start")" "$rounds" ${BENCH_BOTH:+both}
done

python3 "$here/../scripts/make_tree.py" search "$drive/bench/s10000" 10000   # the stop figures' tree
rm -rf "$drive/bench/del" "$drive/bench/del-shell" "$drive/bench/del-copy" "$drive/bench/chk"
for copy in del/r0 del/r1 del/r2 del-shell/r0 del-shell/r1 del-shell/r2 del-copy chk; do
  python3 "$here/../scripts/make_tree.py" delete "$drive/bench/$copy" 1000
done
start=$(date +%s%N)
find "$drive/bench/del-copy" -type d -name Debug -prune -exec rm -rf {} +
rm_ms=$(ms "$start")
"$runner" "$bench" extras 'C:\bench\s10000' 'C:\bench\del' 'C:\bench\del-shell' "$rm_ms"
"$runner" "$bench" checks 'C:\bench\chk'
python3 "$here/../scripts/make_tree.py" build "$drive/bench/chk-build" 10
"$runner" "$bench" checks 'C:\bench\chk-build'

# (9) again on folders as a build leaves them: 2,000 files in 20 folders each.
rm -rf "$drive/bench/del" "$drive/bench/del-shell" "$drive/bench/del-copy"
for copy in del/r0 del/r1 del/r2 del-shell/r0 del-shell/r1 del-shell/r2 del-copy; do
  python3 "$here/../scripts/make_tree.py" build "$drive/bench/$copy" 10
done
start=$(date +%s%N)
find "$drive/bench/del-copy" -type d -name Debug -prune -exec rm -rf {} +
rm_ms=$(ms "$start")
echo "build-size folders:"
CLEANER_TIMEOUT=1800 "$runner" "$bench" delete 'C:\bench\del' 'C:\bench\del-shell' "$rm_ms" 3

# (9) both sizes again, the checks as on Windows (no file opened).
for shape in delete:1000 build:10; do
  rm -rf "$drive/bench/del" "$drive/bench/del-shell"
  for copy in del/r0 del/r1 del/r2 del-shell/r0 del-shell/r1 del-shell/r2; do
    python3 "$here/../scripts/make_tree.py" "${shape%:*}" "$drive/bench/$copy" "${shape#*:}"
  done
  echo "the checks as on Windows, $shape:"
  CLEANER_TIMEOUT=1800 "$runner" "$bench" delete 'C:\bench\del' 'C:\bench\del-shell' 0 3 windows
done
