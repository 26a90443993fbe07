#!/usr/bin/env bash
# run.sh RUNNER TESTS PREFIX: the randomized test. CLEANER_SEEDS=N runs seeds
# 1 to N (default 50); CLEANER_SEED="5 9" runs those seeds alone. They run in
# batches of 50, so that the folder picker never lists more than 50 trees.
set -uo pipefail
runner=$1 tests=$2 prefix=$3
here=$(dirname "$0")
seeds=${CLEANER_SEED:-$(seq 1 "${CLEANER_SEEDS:-50}")}
base=$prefix/drive_c/fz
figures=$prefix/../fuzz-figures.txt
status=0
# Batches of an earlier, interrupted run must not count.
rm -f "$figures".*
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
