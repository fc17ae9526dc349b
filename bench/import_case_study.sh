#!/usr/bin/env bash
# Times hipaa-import on the CSV export of generated logs of growing size
# (every table: disclosures with their attribute, purpose and role rows), and
# reports its peak memory, to show that time grows linearly with the rows and
# memory stays flat; then times hipaa-lint on the imported log.
# Usage: bench/import_case_study.sh [build-dir] [sizes...]
set -euo pipefail
default_sizes=(10000 100000 1000000)
source "$(dirname "$0")/case_study_workspace.sh" "$@"

printf '%12s %12s %10s %10s %12s %12s %12s\n' disclosures rows seconds "us/row" "peak MB" \
  "lint s" "lint MB"
for n in "${sizes[@]}"; do
  "$build/hipaa-loggen" --disclosures "$n" --seed 1 --output log.db --force 2>/dev/null
  rm -rf records && mkdir records
  "$build/hipaa-export" --db log.db --out records > /dev/null
  /usr/bin/time -f '%e %M' -o usage.txt \
    "$build/hipaa-import" --force --output imported.db records/*.csv > import.txt 2>/dev/null
  rows=$(sed -E 's/hipaa-import: ([0-9]+) rows.*/\1/' import.txt)
  read -r seconds kilobytes < usage.txt
  /usr/bin/time -f '%e %M' -o usage.txt "$build/hipaa-lint" --db imported.db > /dev/null || true
  read -r lint_seconds lint_kilobytes < usage.txt
  awk -v n="$n" -v r="$rows" -v s="$seconds" -v k="$kilobytes" -v ls="$lint_seconds" \
    -v lk="$lint_kilobytes" 'BEGIN { printf "%12d %12d %10.2f %10.2f %12.1f %12.2f %12.1f\n",
      n, r, s, s * 1e6 / r, k / 1024, ls, lk / 1024 }'
done
