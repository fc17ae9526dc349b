#!/usr/bin/env bash
# Times hipaa-report against hipaa-audit on the shipped case study, on
# generated logs without violations of growing size: wall time, CPU time,
# time per disclosure and peak memory of the audit and of the report on one
# and on two threads, then the report's ratios to the audit and between its
# thread counts.  The three programs run in turn, RUNS rounds (default 3),
# and each figure is the least of its rounds, which is the one least
# disturbed by other work on the machine.
# Usage: [RUNS=n] bench/report_case_study.sh [build-dir] [sizes...]
set -euo pipefail
default_sizes=(10000 100000)
source "$(dirname "$0")/case_study_workspace.sh" "$@"
runs=${RUNS:-3}

# Runs a command under GNU time; prints "seconds cpu-seconds peak-KB".
measure() {
  /usr/bin/time -f '%e %U %S %M' -o timing "$@" > /dev/null 2>&1 || [ $? -eq 1 ]
  tail -n 1 timing | awk '{ print $1, $2 + $3, $4 }'
}

programs=("hipaa-audit" "hipaa-report -j1" "hipaa-report -j2")
run_one() {
  case $1 in
    hipaa-audit) measure "$build/hipaa-audit" ;;
    "hipaa-report -j1") measure "$build/hipaa-report" --quiet --jobs 1 --out out ;;
    "hipaa-report -j2") measure "$build/hipaa-report" --quiet --jobs 2 --out out ;;
  esac
}

printf '%10s  %-16s %9s %9s %14s %10s\n' disclosures program seconds "cpu s" "us/disclosure" "peak MB"
for n in "${sizes[@]}"; do
  "$build/hipaa-loggen" --disclosures "$n" --seed 1 --output hipaa.db --force 2>/dev/null
  declare -A best_s=() best_c=() best_k=()
  for ((round = 0; round < runs; ++round)); do
    for program in "${programs[@]}"; do
      read -r seconds cpu kilobytes <<< "$(run_one "$program")"
      if [ -z "${best_s[$program]:-}" ] || awk -v a="$seconds" -v b="${best_s[$program]}" 'BEGIN { exit !(a < b) }'; then
        best_s[$program]=$seconds
      fi
      if [ -z "${best_c[$program]:-}" ] || awk -v a="$cpu" -v b="${best_c[$program]}" 'BEGIN { exit !(a < b) }'; then
        best_c[$program]=$cpu
      fi
      if [ -z "${best_k[$program]:-}" ] || [ "$kilobytes" -lt "${best_k[$program]}" ]; then
        best_k[$program]=$kilobytes
      fi
    done
  done
  for program in "${programs[@]}"; do
    awk -v n="$n" -v r="$program" -v s="${best_s[$program]}" -v c="${best_c[$program]}" \
      -v k="${best_k[$program]}" \
      'BEGIN { printf "%10d  %-16s %9.2f %9.2f %14.1f %10.1f\n", n, r, s, c, s * 1e6 / n, k / 1024 }'
  done
  awk -v a="${best_s[hipaa-audit]}" -v one="${best_s[hipaa-report -j1]}" \
    -v two="${best_s[hipaa-report -j2]}" \
    'BEGIN { printf "%10s  report -j1 / audit %.2f, report -j1 / -j2 %.2f\n", "", one / a, one / two }'
  unset best_s best_c best_k
done
