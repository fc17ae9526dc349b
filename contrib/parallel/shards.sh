#!/usr/bin/env bash
# A sharded hipaa-report run with GNU parallel on this machine, from any
# folder: N shards side by side, then the merge, which checks every shard.
# Its exit status is that of one run without shards (0, 1 for violations,
# 2 when a shard or the merge failed).
#
# Usage: shards.sh [--shards N] [--jobs J] [--report PATH] [--decls FILE]
#                  [--policy FILE] DB OUT [-- more hipaa-report options]
#   OUT/shards/K  the shards' report folders
#   OUT/report    the merged report
# The declarations and policy default to ./hipaa-case-study/ when it exists,
# else to the case study installed beside hipaa-report.  --jobs is the
# number of shards run at once (default: the number of cores).
set -euo pipefail
shards=4 jobs="" report="" decls="" policy=""
usage() { sed -n '/^# Usage/,/^# number of shards/p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
while [ $# -gt 0 ]; do
  case $1 in
    --shards) shards=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --report) report=$2; shift 2 ;;
    --decls) decls=$2; shift 2 ;;
    --policy) policy=$2; shift 2 ;;
    -h|--help) usage ;;
    --) break ;;
    -*) echo "shards.sh: unknown option $1" >&2; usage ;;
    *) break ;;
  esac
done
program=shards.sh
source "$(dirname "${BASH_SOURCE[0]}")/../shard_inputs.sh"

# Status 1 of a shard means violations: --violations-ok keeps it from
# counting as a failed job, so that --halt stops at real failures only.
parallel --halt now,fail=1 ${jobs:+--jobs "$jobs"} \
  "$report" --db "$db" --decls "$decls" --policy "$policy" --quiet --violations-ok \
  --shard "{}/$shards" --out "$out/shards/{}" "${report_options[@]}" ::: $(seq 0 $((shards - 1)))
"$report" merge --out "$out/report" "$out"/shards/*/
