#!/usr/bin/env bash
# Peak memory and time of the static checks on hostile shapes of input:
# quantifiers nested N deep, conjunctions nested N deep, and a declarations
# file with N extra constants.  The log is empty, so the figures are those of
# reading, parsing and checking (and one query per outermost quantifier).
# Needs GNU time (/usr/bin/time) for the peak memory.
# Usage: bench/static_checks.sh [hipaa-audit binary] [depths...]
set -euo pipefail
program=${1:-build/hipaa-audit}
shift || true
depths=("$@")
[ ${#depths[@]} -gt 0 ] || depths=(10000 30000 100000)

root=$(cd "$(dirname "$0")/.." && pwd)
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir hipaa-case-study
cp "$root/hipaa-case-study/hipaa.d" hipaa-case-study/
sqlite3 hipaa.db "CREATE TABLE deceased (individual TEXT, died TEXT);"

# (all [x1: string] [t1: date] (deceased x1 t1) (all [x2: string] ... true))
nested_quantifiers() {
  awk -v n="$1" 'BEGIN {
    for (i = 1; i <= n; i++) printf "(all [x%d: string] [t%d: date] (deceased x%d t%d)\n", i, i, i, i
    printf "true"
    for (i = 1; i <= n; i++) printf ")"
    print ""
  }'
}

# (and true (and true ... true))
nested_conjunctions() {
  awk -v n="$1" 'BEGIN {
    for (i = 1; i <= n; i++) printf "(and true "
    printf "true"
    for (i = 1; i <= n; i++) printf ")"
    print ""
  }'
}

measure() {
  local label=$1
  /usr/bin/time -f '%e %U %M' -o time.txt "$program" > out.txt 2> err.txt || true
  read -r seconds user kilobytes < <(tail -1 time.txt)
  awk -v l="$label" -v s="$seconds" -v u="$user" -v k="$kilobytes" -v e="$(head -c 60 err.txt | tr -d '\n')" \
    'BEGIN { printf "%-28s %8.2f s %8.2f s user %10.1f MiB  %s\n", l, s, u, k / 1024, e }'
}

for n in "${depths[@]}"; do
  nested_quantifiers "$n" > hipaa-case-study/hipaa.f
  measure "quantifiers nested $n"
  nested_conjunctions "$n" > hipaa-case-study/hipaa.f
  measure "conjunctions nested $n"
done

echo true > hipaa-case-study/hipaa.f
for n in "${depths[@]}"; do
  cp "$root/hipaa-case-study/hipaa.d" hipaa-case-study/hipaa.d
  awk -v n="$n" 'BEGIN { for (i = 1; i <= n; i++) printf "extra-constant-%d : role .\n", i }' \
    >> hipaa-case-study/hipaa.d
  measure "declarations +$n"
done
