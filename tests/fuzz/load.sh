#!/usr/bin/env bash
# load.sh RUNNER TESTS PREFIX: the load test on C:\load: 100,000 leaf folders,
# 5,000 of them holding a Debug folder (made natively once, kept in the prefix).
set -euo pipefail
runner=$1 tests=$2 prefix=$3
python3 - "$prefix/drive_c/load" <<'PY'
import os, sys
root = sys.argv[1]
if not os.path.exists(os.path.join(root, "complete")):
    for a in range(100):
        for b in range(10):
            for c in range(100):
                leaf = os.path.join(root, "top%d" % a, "mid%d" % b, "leaf%d" % c)
                os.makedirs(os.path.join(leaf, "Debug") if c % 20 == 19 else leaf)
    open(os.path.join(root, "complete"), "w").close()
PY
"$runner" "$tests" --gtest_filter='Load.*'
