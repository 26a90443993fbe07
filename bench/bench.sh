#!/usr/bin/env bash
# bench.sh RUNNER BENCH PREFIX [FOLDERS]: runs the benchmark on a tree of
# FOLDERS folders (10000 or 100000), with native `find` timed on the same tree.
set -euo pipefail
runner=$1 bench=$2 prefix=$3 folders=${4:-10000}
tree=$prefix/drive_c/t/big
[ "$folders" -gt 10000 ] && tree=$prefix/drive_c/t/huge
if [ ! -e "$tree/complete" ]; then   # let the benchmark make it first
  "$runner" "$bench" 0 "$folders" >/dev/null 2>&1 || true
fi
start=$(date +%s%N)
find "$tree" -type d | wc -l >/dev/null
find_ms=$(( ($(date +%s%N) - start) / 1000000 ))
"$runner" "$bench" "$find_ms" "$folders"
