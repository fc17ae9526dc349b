#!/usr/bin/env bash
# Times the audit of the shipped case study on generated logs of growing
# size, to show that the run time grows linearly with the log.
# Usage: bench/audit_case_study.sh [build-dir] [sizes...]
set -euo pipefail
default_sizes=(1000 10000 30000)
source "$(dirname "$0")/case_study_workspace.sh" "$@"

printf '%12s %12s %14s\n' disclosures seconds "us/disclosure"
for n in "${sizes[@]}"; do
  "$build/hipaa-loggen" --disclosures "$n" --seed 1 --output hipaa.db --force 2>/dev/null
  "$build/hipaa-audit" > report.txt
  seconds=$(sed -nE '1s/.*time used: ([0-9.]+)%.*/\1/p' report.txt)
  awk -v n="$n" -v s="$seconds" 'BEGIN { printf "%12d %12.3f %14.1f\n", n, s, s * 1e6 / n }'
done
