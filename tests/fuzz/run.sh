#!/usr/bin/env bash
# run.sh RUNNER TESTS PREFIX PREFIX932 PREFIXUTF8 LOCALES: the trees of
# fuzz.py through the dialog: the hand-written cases and seeds 1 to N
# (CLEANER_SEEDS=N, default 50); CLEANER_SEED="5 9 swap" runs those alone.
# Each runs in its set-up (fuzz.py setup SEED): the cases and the plain,
# second-drive-letter and network-share seeds in PREFIX, the code page 932
# and UTF-8 ones in prefixes started under a Japanese and a Hindi locale
# (generated into LOCALES). Seeds run in batches of at most 50 per prefix, so
# that the folder picker never lists more than 50 trees.
set -uo pipefail
runner=$1 tests=$2 here=$(dirname "$0")
declare -A prefix=([plain]=$3 [cp932]=$4 [utf8]=$5)
declare -A locale=([plain]="" [cp932]=ja_JP.UTF-8 [utf8]=hi_IN.UTF-8)
locales=$6
seeds=${CLEANER_SEED:-$(python3 "$here/fuzz.py" cases) $(seq 1 "${CLEANER_SEEDS:-50}")}
figures=$3/../fuzz-figures.txt
status=0
rm -f "$figures".*   # batches of an earlier, interrupted run must not count
declare -A group=() count=()
while read -r seed setup; do
  count[$setup]=$(( ${count[$setup]:-0} + 1 ))
  case $setup in
    cp932|utf8) group[$setup]+=" $seed" ;;
    *) group[plain]+=" $seed" ;;
  esac
done < <(python3 "$here/fuzz.py" setup $seeds)
for kind in plain cp932 utf8; do
  read -r -a all <<<"${group[$kind]:-}"
  base=${prefix[$kind]}/drive_c/fz
  for ((at = 0; at < ${#all[@]}; at += 50)); do
    batch=("${all[@]:at:50}")
    rm -rf "$base"
    python3 "$here/fuzz.py" generate "$base" "${batch[@]}"
    env ${locale[$kind]:+LOCPATH=$locales LANG=${locale[$kind]} LC_ALL=${locale[$kind]}} \
      CLEANER_WINEPREFIX="${prefix[$kind]}" CLEANER_TIMEOUT=$((120 + 3 * ${#batch[@]})) \
      "$runner" "$tests" --gtest_filter='Fuzz.*' || status=1
    python3 "$here/fuzz.py" verify "$base" "${batch[@]}" >"$figures.$kind$at" || status=1
    grep -v '^seeds run' "$figures.$kind$at" | grep -v '^nothing lost' || true
  done
done
# The figures of all batches together.
setups=$(for setup in "${!count[@]}"; do echo "$setup ${count[$setup]}"; done | sort | paste -sd ',' | sed 's/,/, /g')
cat "$figures".* | awk -v failed=$status -v setups="$setups" '
  /^seeds run/ { gsub(",", ""); s += $3; f += $6; m += $9; d += $12; i += $15 }
  END { printf "seeds run %d (%s), folders generated %d, matches compared %d, deletions checked %d, faults injected %d\n", s, setups, f, m, d, i
        if (!failed) print "nothing lost" }' | tee "$figures"
rm -f "$figures".*
exit $status
