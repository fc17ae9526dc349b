#!/usr/bin/env bash
# Runs a reference hipaa-audit and the built one on the same generated logs
# and compares standard output, ./rform and the exit status byte for byte.
# The time line of a run without test identifier, and the run-time figures
# of the UPDATE statements, differ from run to run and are masked.  Each log
# is audited in UTC, in New York and with TZ unset (the machine's zone).
# Usage: bench/compare_ref.sh REFERENCE-BINARY [build-dir] [sizes...]
set -uo pipefail
reference=$1
build=${2:-build}
shift 2 || shift $#
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000 100000)

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$build" && pwd)
reference=$(cd "$(dirname "$reference")" && pwd)/$(basename "$reference")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/ref" "$work/new"
cp -r "$root/hipaa-case-study" "$work/ref/"
cp -r "$root/hipaa-case-study" "$work/new/"

# Timing figures are the only bytes allowed to differ.
mask() {
  sed -E -e 's/time used: [0-9.]+%/time used: T%/' \
    -e 's/SET totalTime = [0-9.]+ /SET totalTime = T /' "$1"
}

failures=0
run_case() { # label zone args...
  local label=$1 zone=$2
  shift 2
  local side
  for side in ref new; do
    local binary=$reference
    [ "$side" = new ] && binary=$build/hipaa-audit
    (cd "$work/$side" && rm -f rform &&
      if [ "$zone" = unset ]; then unset TZ; else export TZ=$zone; fi &&
      "$binary" "$@" >stdout 2>stderr; echo $? >status)
  done
  local same=yes
  for file in stdout stderr status rform; do
    if [ -e "$work/ref/$file" ] || [ -e "$work/new/$file" ]; then
      if ! cmp -s <(mask "$work/ref/$file" 2>/dev/null) <(mask "$work/new/$file" 2>/dev/null); then
        same="no ($file differs)"
      fi
    fi
  done
  printf '%-48s %s\n' "$label" "$same"
  [ "$same" = yes ] || failures=$((failures + 1))
}

for n in "${sizes[@]}"; do
  for violations in 0 0.05; do
    "$build/hipaa-loggen" --disclosures "$n" --seed 7 --violations "$violations" \
      --output "$work/ref/hipaa.db" --force >/dev/null 2>&1
    cp "$work/ref/hipaa.db" "$work/new/hipaa.db"
    for zone in UTC America/New_York unset; do
      run_case "n=$n violations=$violations TZ=$zone" "$zone"
      run_case "n=$n violations=$violations TZ=$zone id=17" "$zone" 17
    done
  done
done
# Damaged copies of the smallest log: failures, repaired values and values
# that the query text cannot hold must be reported the same way.
damages=(
  "DROP TABLE purp_in_db"
  "UPDATE hasattrof_db SET attr = '(((' WHERE rowid = 5"
  "UPDATE purp_in_db SET purpose = '(treatment' WHERE rowid % 7 = 3"
  "UPDATE inrole_db SET role = 'no-such-role' WHERE rowid = 2"
  "UPDATE purp_in_db SET purpose = NULL WHERE rowid = 4"
  "UPDATE disclose SET info = CAST(X'226D2D00' AS TEXT) || '\"' WHERE rowid = 3"
  "UPDATE disclose SET at = '2010:13:01' WHERE rowid = 2"
  "UPDATE disclose SET recipient = '\"it''s\"' WHERE rowid % 5 = 1"
  "DELETE FROM attr_in_db"
)
# Repaired values late in queries whose quantifier is decided early: every
# row is still read and its repair reported (a log without violations, so
# that the audit does not end at the first one).
quiet_damages=(
  "UPDATE verification SET verified = '(' || verified WHERE rowid % 7 = 3"
  "UPDATE verification SET verified = verified || ' )' WHERE rowid % 5 = 4"
)
"$build/hipaa-loggen" --disclosures "${sizes[0]}" --seed 3 --violations 0.1 \
  --output "$work/base.db" --force >/dev/null 2>&1
for damage in "${damages[@]}"; do
  cp "$work/base.db" "$work/ref/hipaa.db"
  sqlite3 "$work/ref/hipaa.db" "$damage"
  cp "$work/ref/hipaa.db" "$work/new/hipaa.db"
  run_case "${damage:0:44}" UTC
done

"$build/hipaa-loggen" --disclosures "${sizes[0]}" --seed 5 --output "$work/quiet.db" --force \
  >/dev/null 2>&1
for damage in "${quiet_damages[@]}"; do
  cp "$work/quiet.db" "$work/ref/hipaa.db"
  sqlite3 "$work/ref/hipaa.db" "$damage"
  cp "$work/ref/hipaa.db" "$work/new/hipaa.db"
  run_case "${damage:0:44}" UTC
done

echo "$failures case(s) differ"
[ "$failures" -eq 0 ]
