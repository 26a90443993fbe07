#!/usr/bin/env bash
# run.sh RUNNER TESTS PREFIX: the randomized test. Seeds come from
# CLEANER_SEEDS ("1 5 9" or a count such as 200; default 50).
set -uo pipefail
runner=$1 tests=$2 prefix=$3
here=$(dirname "$0")
seeds=${CLEANER_SEEDS:-50}
if [[ "$seeds" =~ ^[0-9]+$ ]]; then seeds=$(seq 1 "$seeds"); fi
base=$prefix/drive_c/fz
rm -rf "$base"
python3 "$here/fuzz.py" generate "$base" $seeds
status=0
count=$(wc -w <<<"$seeds")
CLEANER_TIMEOUT=$((120 + 3 * count)) "$runner" "$tests" --gtest_filter='Fuzz.*' || status=1
python3 "$here/fuzz.py" verify "$base" $seeds | tee "$prefix/../fuzz-figures.txt" || status=1
exit $status
