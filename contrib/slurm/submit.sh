#!/usr/bin/env bash
# Submits a sharded hipaa-report run to Slurm from any folder: a job array
# with one shard per task, then a merge job that starts once the array is
# over (afterany) and checks every shard.  Paths are made absolute and the
# folders created before anything is submitted.
#
# Usage: submit.sh [--shards N] [--cpus C] [--report PATH] [--decls FILE]
#                  [--policy FILE] [--sbatch-option OPT]... DB OUT
#                  [-- more hipaa-report options]
#   OUT/shards/K  the shards' report folders
#   OUT/report    the merged report, as one run without shards would write it
#   OUT/logs      the jobs' output
# The declarations and policy default to ./hipaa-case-study/ when it exists,
# else to the case study installed beside hipaa-report.  Prints the job ids
# of the array and of the merge.
set -euo pipefail
shards=4 cpus=1 report="" decls="" policy=""
sbatch_options=()
usage() { sed -n '/^# Usage/,/^# of the array/p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
while [ $# -gt 0 ]; do
  case $1 in
    --shards) shards=$2; shift 2 ;;
    --cpus) cpus=$2; shift 2 ;;
    --report) report=$2; shift 2 ;;
    --decls) decls=$2; shift 2 ;;
    --policy) policy=$2; shift 2 ;;
    --sbatch-option) sbatch_options+=("$2"); shift 2 ;;
    -h|--help) usage ;;
    --) break ;;
    -*) echo "submit.sh: unknown option $1" >&2; usage ;;
    *) break ;;
  esac
done
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=submit.sh
source "$here/../shard_inputs.sh"
mkdir -p "$out/logs"

array=$(sbatch --parsable --array="0-$((shards - 1))" --cpus-per-task="$cpus" \
  --chdir="$out" --output="$out/logs/shard-%a.out" "${sbatch_options[@]}" \
  "$here/shard.sbatch" "$report" "$db" "$decls" "$policy" "$out/shards" "$shards" \
  "${report_options[@]}")
array=${array%%;*}
merge=$(sbatch --parsable --dependency="afterany:$array" --chdir="$out" \
  --output="$out/logs/merge.out" "${sbatch_options[@]}" \
  "$here/merge.sbatch" "$report" "$out/shards" "$out/report")
merge=${merge%%;*}
echo "$array $merge"
