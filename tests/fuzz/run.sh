#!/usr/bin/env bash
# run.sh RUNNER TESTS PREFIX: the randomized test. Seeds come from
# CLEANER_SEEDS ("1 5 9" or a count such as 200; default 50). They run in
# batches of 50, so that the folder picker never lists more than 50 trees.
set -uo pipefail
runner=$1 tests=$2 prefix=$3
here=$(dirname "$0")
seeds=${CLEANER_SEEDS:-50}
if [[ "$seeds" =~ ^[0-9]+$ ]]; then seeds=$(seq 1 "$seeds"); fi
base=$prefix/drive_c/fz
figures=$prefix/../fuzz-figures.txt
status=0
read -r -a all <<<"$(echo $seeds)"
for ((at = 0; at < ${#all[@]}; at += 50)); do
  batch=("${all[@]:at:50}")
  rm -rf "$base"
  python3 "$here/fuzz.py" generate "$base" "${batch[@]}"
  CLEANER_TIMEOUT=$((120 + 3 * ${#batch[@]})) "$runner" "$tests" --gtest_filter='Fuzz.*' || status=1
  python3 "$here/fuzz.py" verify "$base" "${batch[@]}" >"$figures.$at" || status=1
  grep -v '^seeds run' "$figures.$at" | grep -v '^nothing lost' || true
done
# The figures of all batches together.
cat "$figures".* | awk -v failed=$status '
  /^seeds run/ { gsub(",", ""); s += $3; f += $6; m += $9; d += $12; i += $15 }
  END { printf "seeds run %d, folders generated %d, matches compared %d, deletions checked %d, faults injected %d\n", s, f, m, d, i
        if (!failed) print "nothing lost" }' | tee "$figures"
rm -f "$figures".*
exit $status
