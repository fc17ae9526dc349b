#!/usr/bin/env bash
# What splitting a run into shards costs: the CPU seconds (user + system)
# of one unsharded `hipaa-report --quiet` run, of the N shards of the same
# run together (--shard 0/N .. N-1/N, one after the other) and of their
# merge, on a generated log with 1 % violations; each figure the least of
# RUNS rounds (default 3), the programs taking turns.  The merged
# verdicts.csv is compared with the unsharded one.
# Usage: [RUNS=n] [SHARDS=n] bench/shard_cost.sh [build-dir] [sizes...]
#   default size 100000, 4 shards
set -euo pipefail
default_sizes=(100000)
source "$(dirname "$0")/case_study_workspace.sh" "$@"
runs=${RUNS:-3}
shards=${SHARDS:-4}
report=$build/hipaa-report

# Runs a command under GNU time; prints its CPU seconds.
measure() {
  /usr/bin/time -f '%U %S' -o timing "$@" >/dev/null 2>&1 || [ $? -eq 1 ]
  tail -n 1 timing | awk '{ print $1 + $2 }'
}

least() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

printf '%11s %9s %9s %9s %9s\n' disclosures whole_s shards_s merge_s shards/whole
for n in "${sizes[@]}"; do
  "$build/hipaa-loggen" --disclosures "$n" --seed 1 --violations 0.01 --output hipaa.db \
    --force >/dev/null 2>&1
  whole='' split='' merge=''
  for ((round = 0; round < runs; ++round)); do
    whole=$(least "$(measure "$report" --quiet --out out)" "$whole")
    rm -rf shard && mkdir shard
    sum=0
    for ((k = 0; k < shards; ++k)); do
      c=$(measure "$report" --quiet --shard "$k/$shards" --out "shard/$k")
      sum=$(awk -v a="$sum" -v b="$c" 'BEGIN { print a + b }')
    done
    split=$(least "$sum" "$split")
    folders=()
    for ((k = 0; k < shards; ++k)); do folders+=("shard/$k"); done
    merge=$(least "$(measure "$report" merge --quiet --out merged "${folders[@]}")" "$merge")
    cmp -s merged/verdicts.csv out/verdicts.csv || { echo "merged shards differ" >&2; exit 1; }
  done
  awk -v n="$n" -v w="$whole" -v s="$split" -v m="$merge" \
    'BEGIN { printf "%11d %9.2f %9.2f %9.2f %9.3f\n", n, w, s, m, s / w }'
done
