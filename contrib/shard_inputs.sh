# The inputs of a sharded run, shared by slurm/submit.sh and
# parallel/shards.sh (sourced after their options are read, with the
# remaining arguments "DB OUT [--] [more hipaa-report options]"): checks the
# number of shards, makes every path absolute, finds hipaa-report and the
# case study, and creates OUT/shards, which must hold no earlier run's
# shards.  Expects $program (for messages), $shards, $report, $decls and
# $policy; sets $db, $out and $report_options.
[ $# -ge 2 ] || usage
db=$1 out=$2
shift 2
[ "${1:-}" != "--" ] || shift
report_options=("$@")
[[ $shards =~ ^[1-9][0-9]*$ ]] ||
  { echo "$program: --shards needs a whole number" >&2; exit 2; }

existing() {
  [ -f "$1" ] || { echo "$program: $1: no such file" >&2; exit 2; }
  realpath -- "$1"
}
[ -n "$report" ] || report=$(command -v hipaa-report) ||
  { echo "$program: hipaa-report is not on PATH; give --report" >&2; exit 2; }
report=$(existing "$report")
case_study=hipaa-case-study
[ -d "$case_study" ] || case_study=$(dirname "$report")/../share/hipaa-audit/hipaa-case-study
decls=$(existing "${decls:-$case_study/hipaa.d}")
policy=$(existing "${policy:-$case_study/hipaa.f}")
db=$(existing "$db")
out=$(realpath -m -- "$out")

# Leftover shards of an earlier run would be refused by the merge: start
# from an empty folder.
if [ -n "$(ls -A "$out/shards" 2>/dev/null)" ]; then
  echo "$program: $out/shards holds an earlier run's shards; remove it first" >&2
  exit 2
fi
mkdir -p "$out/shards"
