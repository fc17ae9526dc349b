#!/usr/bin/env bash
# Compares the audit time per disclosure of the shipped case study with that
# of an earlier version of it, on logs of the same size made by each
# version's own generator, with one and the same engine.
# Each figure is the least user time of RUNS rounds (default 3), the two
# policies taking turns, which is the one least disturbed by other work.
# With OLD_ENGINE set, the earlier policy is timed with that binary instead:
# the earlier version as a whole against the shipped one, engine included.
# Usage: [RUNS=n] [OLD_ENGINE=bin] bench/policy_cost.sh ENGINE OLD_LOGGEN NEW_LOGGEN OLD_REVISION [disclosures]
#   ENGINE        the hipaa-audit binary to time both policies with
#   OLD_LOGGEN    the hipaa-loggen that goes with the earlier policy
#   NEW_LOGGEN    the hipaa-loggen that goes with the shipped policy
#   OLD_REVISION  a git revision holding the earlier hipaa-case-study/
set -euo pipefail
engine=$(realpath "$1"); old_engine=$(realpath "${OLD_ENGINE:-$1}"); old_loggen=$(realpath "$2"); new_loggen=$(realpath "$3")
revision=$4; n=${5:-100000}; runs=${RUNS:-3}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/old/hipaa-case-study" "$work/new"
for file in hipaa.d hipaa.f; do
  git -C "$root" show "$revision:hipaa-case-study/$file" > "$work/old/hipaa-case-study/$file"
done
cp -r "$root/hipaa-case-study" "$work/new/"

generate() { # directory loggen
  (cd "$1" && "$2" --disclosures "$n" --seed 1 --output hipaa.db --force 2>/dev/null)
}

run() { # directory label engine: keeps the least user time in $work/label.user
  cd "$1"
  /usr/bin/time -f "%U" -o user.txt "$3" > report.txt
  local user seconds
  user=$(cat user.txt)
  seconds=$(sed -nE '1s/.*time used: ([0-9.]+)%.*/\1/p' report.txt)
  if [ ! -s "$work/$2.user" ] || awk -v u="$user" -v b="$(cat "$work/$2.user")" 'BEGIN { exit !(u < b) }'; then
    echo "$user" > "$work/$2.user"
    echo "$seconds" > "$work/$2.seconds"
  fi
}

report() { # label
  awk -v l="$1" -v n="$n" -v s="$(cat "$work/$1.seconds")" -v u="$(cat "$work/$1.user")" \
    'BEGIN { printf "%-8s %10d %12.3f %12.3f %14.1f\n", l, n, s, u, u * 1e6 / n }'
}

generate "$work/old" "$old_loggen"
generate "$work/new" "$new_loggen"
for ((round = 0; round < runs; ++round)); do
  run "$work/old" old "$old_engine"
  run "$work/new" new "$engine"
done
printf '%-8s %10s %12s %12s %14s\n' policy disclosures "seconds" "user s" "user us/disc"
report old
report new
awk -v o="$(cat "$work/old.user")" -v n="$(cat "$work/new.user")" \
  'BEGIN { printf "ratio new/old (user time per disclosure): %.2f\n", n / o }'
