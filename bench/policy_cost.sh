#!/usr/bin/env bash
# Compares the audit time per disclosure of the shipped case study with that
# of an earlier version of it, on logs of the same size made by each
# version's own generator, with one and the same engine.
# Usage: bench/policy_cost.sh ENGINE OLD_LOGGEN NEW_LOGGEN OLD_REVISION [disclosures]
#   ENGINE        the hipaa-audit binary to time both policies with
#   OLD_LOGGEN    the hipaa-loggen that goes with the earlier policy
#   NEW_LOGGEN    the hipaa-loggen that goes with the shipped policy
#   OLD_REVISION  a git revision holding the earlier hipaa-case-study/
set -euo pipefail
engine=$(realpath "$1"); old_loggen=$(realpath "$2"); new_loggen=$(realpath "$3")
revision=$4; n=${5:-100000}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/old/hipaa-case-study" "$work/new"
for file in hipaa.d hipaa.f; do
  git -C "$root" show "$revision:hipaa-case-study/$file" > "$work/old/hipaa-case-study/$file"
done
cp -r "$root/hipaa-case-study" "$work/new/"

measure() { # directory loggen label
  cd "$1"
  "$2" --disclosures "$n" --seed 1 --output hipaa.db --force 2>/dev/null
  /usr/bin/time -f "%U" -o user.txt "$engine" > report.txt
  seconds=$(sed -nE '1s/.*time used: ([0-9.]+)%.*/\1/p' report.txt)
  awk -v l="$3" -v n="$n" -v s="$seconds" -v u="$(cat user.txt)" \
    'BEGIN { printf "%-8s %10d %12.3f %12.3f %14.1f\n", l, n, s, u, u * 1e6 / n }'
  echo "$(cat user.txt)" > "$work/$3.user"
}

printf '%-8s %10s %12s %12s %14s\n' policy disclosures "seconds" "user s" "user us/disc"
measure "$work/old" "$old_loggen" old
measure "$work/new" "$new_loggen" new
awk -v o="$(cat "$work/old.user")" -v n="$(cat "$work/new.user")" \
  'BEGIN { printf "ratio new/old (user time per disclosure): %.2f\n", n / o }'
