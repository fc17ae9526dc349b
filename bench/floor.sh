#!/usr/bin/env bash
# The audit next to its SQLite floor, on generated logs of growing size.
# For each size the audit runs twice: once on its own for its CPU time and
# peak memory, once with a shim that records every statement it executes
# (SQL with values written in, and the steps taken).  The recording is then
# replayed with one prepared statement per query shape and bound values:
# the least SQLite work that answers the same questions.  audit/floor is
# the ratio of the two CPU times.
# Usage: bench/floor.sh [build-dir] [sizes...]
#   AUDIT=path      audits with another binary (default: build-dir/hipaa-audit)
#   REFERENCE=path  also replays the query sequence of this binary, the floor
#                   that the audit's own questions are measured against when
#                   it asks fewer of them (printed as ref_floor_us and
#                   audit/ref_floor)
set -euo pipefail
build=${1:-build}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000 100000)

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$build" && pwd)
audit=${AUDIT:-$build/hipaa-audit}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
c++ -std=c++17 -O2 -shared -fPIC -o "$work/trace_shim.so" "$root/bench/floor/trace_shim.cpp" \
  -lsqlite3 -ldl
c++ -std=c++17 -O2 -o "$work/replay" "$root/bench/floor/replay.cpp" -lsqlite3
cp -r "$root/hipaa-case-study" "$work/"
cd "$work"

reference=${REFERENCE:-}
printf '%9s %11s %11s %9s %11s %9s %12s %7s' disclosures "audit_cpu_s" "us/disclos" \
  "rss_MiB" "floor_cpu_s" "floor_us" "audit/floor" "stmts/d"
[ -z "$reference" ] || printf ' %13s %16s' ref_floor_us audit/ref_floor
printf '\n'

for n in "${sizes[@]}"; do
  "$build/hipaa-loggen" --disclosures "$n" --seed 1 --output hipaa.db --force >/dev/null 2>&1
  /usr/bin/time -f '%U %S %M' -o usage "$audit" >/dev/null
  read -r user sys rss_kib <usage
  FLOOR_TRACE=$work/trace LD_PRELOAD=$work/trace_shim.so "$audit" >/dev/null
  read -r floor executions shapes < <("$work/replay" hipaa.db trace)
  awk -v n="$n" -v u="$user" -v s="$sys" -v r="$rss_kib" -v f="$floor" -v e="$executions" 'BEGIN {
    a = u + s
    printf "%9d %11.3f %11.1f %9.1f %11.3f %9.1f %12.2f %7.1f",
      n, a, a * 1e6 / n, r / 1024, f, f * 1e6 / n, a / f, e / n }'
  if [ -n "$reference" ]; then
    FLOOR_TRACE=$work/trace LD_PRELOAD=$work/trace_shim.so "$reference" >/dev/null
    read -r ref_floor executions shapes < <("$work/replay" hipaa.db trace)
    awk -v n="$n" -v a="$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" -v f="$ref_floor" \
      'BEGIN { printf " %13.1f %16.2f", f * 1e6 / n, a / f }'
  fi
  printf '\n'
done
