#!/usr/bin/env bash
# Times hipaa-report against hipaa-audit on the shipped case study, on
# generated logs without violations of growing size: wall time, time per
# disclosure and peak memory of the audit and of the report on one and on
# two threads.
# Usage: bench/report_case_study.sh [build-dir] [sizes...]
set -euo pipefail
default_sizes=(10000 100000)
source "$(dirname "$0")/case_study_workspace.sh" "$@"

# Runs a command under GNU time; prints "seconds cpu-seconds peak-KB".  On
# a machine shared with other work the CPU time is the steadier figure.
measure() {
  /usr/bin/time -f '%e %U %S %M' -o timing "$@" > /dev/null 2>&1 || [ $? -eq 1 ]
  tail -n 1 timing | awk '{ print $1, $2 + $3, $4 }'
}

printf '%10s  %-16s %9s %9s %14s %10s\n' disclosures program seconds "cpu s" "us/disclosure" "peak MB"
for n in "${sizes[@]}"; do
  "$build/hipaa-loggen" --disclosures "$n" --seed 1 --output hipaa.db --force 2>/dev/null
  for run in "hipaa-audit" "hipaa-report -j1" "hipaa-report -j2"; do
    case $run in
      hipaa-audit) result=$(measure "$build/hipaa-audit") ;;
      "hipaa-report -j1") result=$(measure "$build/hipaa-report" --quiet --jobs 1 --out out) ;;
      "hipaa-report -j2") result=$(measure "$build/hipaa-report" --quiet --jobs 2 --out out) ;;
    esac
    read -r seconds cpu kilobytes <<< "$result"
    awk -v n="$n" -v r="$run" -v s="$seconds" -v c="$cpu" -v k="$kilobytes" \
      'BEGIN { printf "%10d  %-16s %9.2f %9.2f %14.1f %10.1f\n", n, r, s, c, s * 1e6 / n, k / 1024 }'
  done
done
