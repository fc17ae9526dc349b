#!/usr/bin/env bash
# The set engine against the tuple engine, its reference: on generated logs
# with no, few and many violations, on the case study's samples and on
# damaged logs, both give the same verdicts.csv, verdicts.json and
# worklist.csv, the same messages and the same exit status.  The set engine
# also runs with a memory budget too small for any table (every lookup
# then queries the log), on two threads, and on three threads sharing a
# budget that holds some tables and not others.
# Usage: engine_differential_test.sh BUILD SOURCE [DISCLOSURES]
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") disclosures=${3:-2000}
work=$(mktemp -d "${TMPDIR:-/tmp}/hipaa-engines-XXXXXX")
trap 'rm -rf "$work"' EXIT
ln -s "$source/hipaa-case-study" "$work/hipaa-case-study"
cd "$work"
samples=hipaa-case-study/samples

failures=0
# Runs the report on log $1 with the tuple engine and then with each set
# engine variant, and compares everything each one wrote.
compare() {
  local log=$1 label=$2 variant side status
  rm -rf tuple && mkdir tuple
  status=0
  "$build/hipaa-report" --quiet --engine tuple --db "$log" --out tuple/report \
    >tuple/stdout 2>tuple/stderr || status=$?
  echo "$status" >tuple/status
  if [ "$status" -eq 2 ] && [ "${damaged:-no}" = no ]; then
    echo "FAIL: $label: the report failed" >&2
    failures=$((failures + 1))
  fi
  for variant in "--engine set" "--engine set --memory 1" "--jobs 2" "--jobs 3 --memory 2"; do
    rm -rf set && mkdir set
    status=0
    # shellcheck disable=SC2086
    "$build/hipaa-report" --quiet $variant --db "$log" --out set/report \
      >set/stdout 2>set/stderr || status=$?
    echo "$status" >set/status
    for side in stdout stderr status report/verdicts.csv report/verdicts.json \
      report/worklist.csv; do
      if [ -e "tuple/$side" ] || [ -e "set/$side" ]; then
        if ! cmp -s "tuple/$side" "set/$side"; then
          echo "FAIL: $label ($variant): $side differs" >&2
          failures=$((failures + 1))
        fi
      fi
    done
  done
}

for violations in 0 0.01 0.1; do
  "$build/hipaa-loggen" --disclosures "$disclosures" --seed 1 --violations "$violations" \
    --output "generated-$violations.db" --force >/dev/null 2>&1
  compare "generated-$violations.db" "$disclosures disclosures, violations $violations"
done

"$build/hipaa-import" --force --output samples.db $samples/*.csv >/dev/null 2>&1
compare samples.db "the samples"
"$build/hipaa-import" --force --output violations.db $samples/*.csv $samples/violations/*.csv \
  >/dev/null 2>&1
compare violations.db "the samples with violations"
# The hospital's samples, as their README imports them; periods of a table
# the declarations do not name are left out.
hospital=(--table attr_in_db=hipaa-case-study/reference/attr_in_db.csv $samples/hospital/*.csv)
"$build/hipaa-import" --force --output hospital.db --complete-until 2024-03-31 "${hospital[@]}" \
  >/dev/null 2>&1 ||
  "$build/hipaa-import" --force --output hospital.db --complete-until 2024-03-31 \
    "${hospital[@]/*acts_for_periods.csv/}" >/dev/null 2>&1
compare hospital.db "the hospital's samples"

# Damaged copies of a small log: missing tables, values that do not parse,
# need a repair or have the wrong sort, and values SQLite stores as
# something other than text.
damages=(
  "DROP TABLE purp_in_db"
  "UPDATE hasattrof_db SET attr = '(((' WHERE rowid = 5"
  "UPDATE purp_in_db SET purpose = '(treatment' WHERE rowid % 7 = 3"
  "UPDATE inrole_db SET role = 'no-such-role' WHERE rowid = 2"
  "UPDATE purp_in_db SET purpose = NULL WHERE rowid = 4"
  "UPDATE disclose SET info = CAST(X'226D2D00' AS TEXT) || '\"' WHERE rowid = 3"
  "UPDATE disclose SET at = '2010:13:01' WHERE rowid = 2"
  "UPDATE purp_in_db SET purpose = '(((' WHERE rowid = 100;
   UPDATE disclose SET at = '2010:13:01' WHERE rowid = 250"
  "UPDATE disclose SET recipient = '\"it''s\"' WHERE rowid % 5 = 1"
  "DELETE FROM attr_in_db"
  "UPDATE verification SET verified = '(' || verified WHERE rowid % 7 = 3"
  "UPDATE hasattrof_db SET info = CAST(info AS BLOB) WHERE rowid % 3 = 1"
  "DROP INDEX hasattrof_db_by_info"
  "CREATE INDEX purp_in_db_by_purpose_info ON purp_in_db (purpose DESC, info)"
  "DROP INDEX hasattrof_db_by_info; CREATE INDEX h ON hasattrof_db (info, attr DESC, subject)"
  "DROP INDEX hasattrof_db_by_info; CREATE INDEX h ON hasattrof_db (info, attr, subject)"
  "DROP INDEX purp_in_db_by_info; CREATE INDEX p ON purp_in_db (info, purpose)"
)
"$build/hipaa-loggen" --disclosures 300 --seed 3 --violations 0.1 --output base.db --force \
  >/dev/null 2>&1
damaged=yes
for damage in "${damages[@]}"; do
  cp base.db damaged.db
  sqlite3 damaged.db "$damage"
  compare damaged.db "$damage"
done

[ "$failures" -eq 0 ] || { echo "$failures comparison(s) differ" >&2; exit 1; }
echo "engines agree on every log"
