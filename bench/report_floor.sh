#!/usr/bin/env bash
# The programs as a user runs them, next to the scan-once floor (every row
# of every table of the log read once, bench/scan_once.c), on generated
# logs with 1 % violations: CPU seconds (user + system) and peak resident
# memory of each, and each one's CPU as a multiple of the floor's, measured
# in the same run on the same log.
#   hipaa-audit             the audit
#   report                  hipaa-report as a user runs it: the log checks'
#                           summary, every file, the summary on stdout
#   report --quiet          without the log checks and the summary
#   report -j2 --quiet      on two threads (CPU of both)
#   4 shards + merge        --shard 0/4 .. 3/4 --quiet one after the other,
#                           then hipaa-report merge: the CPU of all five
#   tuple --quiet           report --quiet with --engine tuple (one query of
#   tuple -j2 --quiet       the log per lookup), on one and on two threads
# Each figure is the least of RUNS rounds (default 3), the programs taking
# turns, which is the one least disturbed by other work on the machine.
# Usage: [RUNS=n] [MILLION=1] bench/report_floor.sh [build-dir] [sizes...]
#   default sizes 10000 100000, and 1000000 with MILLION=1 (about 1 GB of
#   disk and some minutes per round)
set -euo pipefail
default_sizes=(10000 100000)
[ "${MILLION:-0}" = 0 ] || default_sizes+=(1000000)
source "$(dirname "$0")/case_study_workspace.sh" "$@"
runs=${RUNS:-3}
cc -O2 -o scan_once "$root/bench/scan_once.c" -lsqlite3

# Runs a command under GNU time; prints "cpu-seconds peak-KiB".
measure() {
  /usr/bin/time -f '%U %S %M' -o timing "$@" >/dev/null 2>&1 || [ $? -eq 1 ]
  tail -n 1 timing | awk '{ print $1 + $2, $3 }'
}

programs=(floor audit report "report --quiet" "report -j2 --quiet" "4 shards + merge")
# A build whose report has no --engine runs the first six alone.
if "$build/hipaa-report" --help | grep -q -- --engine; then
  programs+=("tuple --quiet" "tuple -j2 --quiet")
fi
run_one() {
  local report=$build/hipaa-report
  case $1 in
    floor)
      # Its own CPU figure: GNU time counts in hundredths of a second.
      /usr/bin/time -f '%M' -o timing ./scan_once hipaa.db >scan.txt
      echo "$(awk '{ print $5 }' scan.txt) $(tail -n 1 timing)"
      ;;
    audit) measure "$build/hipaa-audit" ;;
    report) measure "$report" --out out ;;
    "report --quiet") measure "$report" --quiet --out out ;;
    "report -j2 --quiet") measure "$report" --quiet --jobs 2 --out out ;;
    "tuple --quiet") measure "$report" --quiet --engine tuple --out out ;;
    "tuple -j2 --quiet") measure "$report" --quiet --engine tuple --jobs 2 --out out ;;
    "4 shards + merge")
      local cpu=0 peak=0 k c m
      rm -rf shards && mkdir shards
      for k in 0 1 2 3; do
        read -r c m <<<"$(measure "$report" --quiet --shard "$k/4" --out "shards/$k")"
        cpu=$(awk -v a="$cpu" -v b="$c" 'BEGIN { print a + b }')
        [ "$m" -le "$peak" ] || peak=$m
      done
      read -r c m <<<"$(measure "$report" merge --quiet --out merged shards/0 shards/1 shards/2 shards/3)"
      cmp -s merged/verdicts.csv out/verdicts.csv || { echo "merged shards differ" >&2; exit 1; }
      awk -v a="$cpu" -v b="$c" -v p="$peak" -v m="$m" 'BEGIN { print a + b, (m > p ? m : p) }'
      ;;
  esac
}

printf '%11s  %-20s %9s %9s %8s\n' disclosures program "cpu_s" "peak_MiB" "x_floor"
for n in "${sizes[@]}"; do
  "$build/hipaa-loggen" --disclosures "$n" --seed 1 --violations 0.01 --output hipaa.db \
    --force >/dev/null 2>&1
  declare -A cpu=() peak=()
  for ((round = 0; round < runs; ++round)); do
    for program in "${programs[@]}"; do
      read -r c k <<<"$(run_one "$program")"
      if [ -z "${cpu[$program]:-}" ] || awk -v a="$c" -v b="${cpu[$program]}" 'BEGIN { exit !(a < b) }'; then
        cpu[$program]=$c
      fi
      if [ -z "${peak[$program]:-}" ] || [ "$k" -lt "${peak[$program]}" ]; then
        peak[$program]=$k
      fi
    done
  done
  for program in "${programs[@]}"; do
    awk -v n="$n" -v p="$program" -v c="${cpu[$program]}" -v k="${peak[$program]}" \
      -v f="${cpu[floor]}" \
      'BEGIN { printf "%11d  %-20s %9.2f %9.1f %8.1f\n", n, p, c, k / 1024, (f > 0 ? c / f : 0) }'
  done
  awk -v d="${cpu[report]}" -v q="${cpu[report --quiet]}" -v s="${cpu[4 shards + merge]}" \
    'BEGIN { printf "%11s  report / --quiet %.2f, 4 shards + merge / --quiet %.2f\n", "", d / q, s / q }'
  unset cpu peak
done
