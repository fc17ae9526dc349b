#!/usr/bin/env bash
# Times hipaa-lint on generated logs of growing size, imported from their
# CSV export so that every row also has its file and line: CPU seconds
# (user + system) and peak memory.
# Usage: bench/lint_case_study.sh [build-dir] [sizes...]
set -euo pipefail
default_sizes=(100000 1000000)
source "$(dirname "$0")/case_study_workspace.sh" "$@"

printf '%12s %10s %10s %10s\n' disclosures "CPU s" "peak MB" status
for n in "${sizes[@]}"; do
  "$build/hipaa-loggen" --disclosures "$n" --seed 1 --violations 0.01 --output log.db --force \
    > /dev/null 2>&1
  rm -rf records && mkdir records
  "$build/hipaa-export" --db log.db --out records > /dev/null
  "$build/hipaa-import" --force --output imported.db records/*.csv > /dev/null
  status=0
  /usr/bin/time -f '%U %S %M' -o usage.txt "$build/hipaa-lint" --db imported.db > lint.txt ||
    status=$?
  # GNU time puts a line on a failing status before its figures.
  tail -n 1 usage.txt |
    awk -v n="$n" -v s="$status" '{ printf "%12d %10.2f %10.1f %10d\n", n, $1 + $2, $3 / 1024, s }'
  grep -E '^[0-9]+ [a-z]' lint.txt | sed 's/^/             /' || true
done
