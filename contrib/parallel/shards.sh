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
[ $# -ge 2 ] || usage
db=$1 out=$2
shift 2
[ "${1:-}" != "--" ] || shift
[[ $shards =~ ^[1-9][0-9]*$ ]] || { echo "shards.sh: --shards needs a whole number" >&2; exit 2; }

existing() {
  [ -f "$1" ] || { echo "shards.sh: $1: no such file" >&2; exit 2; }
  realpath -- "$1"
}
[ -n "$report" ] || report=$(command -v hipaa-report) ||
  { echo "shards.sh: hipaa-report is not on PATH; give --report" >&2; exit 2; }
report=$(existing "$report")
case_study=hipaa-case-study
[ -d "$case_study" ] || case_study=$(dirname "$report")/../share/hipaa-audit/hipaa-case-study
decls=$(existing "${decls:-$case_study/hipaa.d}")
policy=$(existing "${policy:-$case_study/hipaa.f}")
db=$(existing "$db")
out=$(realpath -m -- "$out")
if [ -n "$(ls -A "$out/shards" 2>/dev/null)" ]; then
  echo "shards.sh: $out/shards holds an earlier run's shards; remove it first" >&2
  exit 2
fi
mkdir -p "$out/shards"

# Status 1 of a shard means violations: --violations-ok keeps it from
# counting as a failed job, so that --halt stops at real failures only.
parallel --halt now,fail=1 ${jobs:+--jobs "$jobs"} \
  "$report" --db "$db" --decls "$decls" --policy "$policy" --quiet --violations-ok \
  --shard "{}/$shards" --out "$out/shards/{}" "$@" ::: $(seq 0 $((shards - 1)))
"$report" merge --out "$out/report" "$out"/shards/*/
