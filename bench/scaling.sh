#!/usr/bin/env bash
# Cost per disclosure and peak memory of the audit as the log grows, to show
# that both the time per disclosure and the memory per disclosure stay flat.
# For each size: CPU seconds of the whole run (user + system), microseconds
# per disclosure of the reduction (from the audit's time line, which has
# microsecond resolution where the CPU time has only ten milliseconds), that
# figure relative to the first size, and the peak resident set.  The
# largest default size needs about 600 MB of disk and a minute or two.
# Usage: bench/scaling.sh [build-dir] [sizes...]
set -euo pipefail
default_sizes=(1000 10000 100000 1000000)
source "$(dirname "$0")/case_study_workspace.sh" "$@"

printf '%12s %10s %14s %10s %10s\n' disclosures cpu_s "us/disclosure" growth peak_MiB
first=""
for n in "${sizes[@]}"; do
  "$build/hipaa-loggen" --disclosures "$n" --seed 1 --output hipaa.db --force >/dev/null 2>&1
  /usr/bin/time -f '%U %S %M' -o usage "$build/hipaa-audit" >report.txt
  read -r user sys rss_kib <usage
  seconds=$(sed -nE '1s/.*time used: ([0-9.]+)%.*/\1/p' report.txt)
  per=$(awk -v s="$seconds" -v n="$n" 'BEGIN { printf "%.1f", s * 1e6 / n }')
  [ -n "$first" ] || first=$per
  awk -v n="$n" -v u="$user" -v s="$sys" -v p="$per" -v f="$first" -v r="$rss_kib" \
    'BEGIN { printf "%12d %10.2f %14.1f %10.2f %10.1f\n", n, u + s, p, p / f, r / 1024 }'
  rm -f hipaa.db report.txt
done
