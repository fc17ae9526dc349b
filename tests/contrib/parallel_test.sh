#!/usr/bin/env bash
# The GNU parallel recipe end to end on this machine (no ssh): the shards
# by contrib/parallel/shards.sh, run from an unrelated folder with
# relative paths, and the merged report compared byte for byte with a run
# without shards; the exit status is the whole run's.
# Usage: parallel_test.sh BUILD SOURCE [DISCLOSURES]   (exit 77: skipped)
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") disclosures=${3:-100000}
if ! command -v parallel >/dev/null; then
  echo "skipped: GNU parallel is missing (scripts/setup.sh installs it)"
  exit 77
fi
source "$source/tests/contrib/shard_fixture.sh"
trap 'rm -rf "$work"' EXIT
make_whole_run

mkdir "$work/elsewhere"
cd "$work/elsewhere"
status=0
"$source/contrib/parallel/shards.sh" --shards 4 --report "$build/hipaa-report" \
  --decls ../hipaa-case-study/hipaa.d --policy ../hipaa-case-study/hipaa.f ../hipaa.db ../run \
  >/dev/null || status=$?
[ "$status" -eq "$whole_status" ] ||
  { echo "FAIL: exit status $status, the run without shards gave $whole_status" >&2; exit 1; }
same_as_whole "$work/run/report"

# A shard lost on the way: the merge refuses, naming it.
rm -rf "$work/run/shards/2" "$work/run/report"
if out=$("$build/hipaa-report" merge --out ../run/report ../run/shards/*/ 2>&1); then
  echo "FAIL: merged without shard 2" >&2; exit 1
fi
[ "$out" = "hipaa-report: shard 2/4 is missing" ] || { echo "FAIL: $out" >&2; exit 1; }
echo "parallel: 4 shards of $disclosures disclosures merged into the whole run's report"
