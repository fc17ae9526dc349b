#!/usr/bin/env bash
# Rewrites the reference CSVs of this folder from the case study as built:
# the direct attribute inclusions of a generated log (its attr_in_db with
# every inclusion that follows from two others left out), and the purposes
# and roles that hipaa.d declares, with the general purpose or role the
# audit also reads each as.  Run it after changing hipaa.d or the generator.
# Usage: hipaa-case-study/reference/refresh.sh [build-dir]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$here/../.."

"$build/hipaa-loggen" --disclosures 1 --output "$work/log.db"
sqlite3 -csv -header "$work/log.db" "
  SELECT subattr, superattr, substr(basis, 2, length(basis) - 2) AS basis
  FROM attr_in_db x
  WHERE NOT EXISTS (SELECT 1 FROM attr_in_db y JOIN attr_in_db z ON z.subattr = y.superattr
                    WHERE y.subattr = x.subattr AND z.superattr = x.superattr)
  ORDER BY rowid" | tr -d '\r' > "$here/attr_in_db.csv"

# The generalisations the audit applies (the scenario's fixed tables).
general_purpose() {
  case "$1" in
    treatment) echo Treatment ;;
    healthcare-op | healthcare-op-para-1-2) echo Healthcare-op ;;
    payment) echo Payment ;;
    law-enforcement-relevant-id-or-location | report-possible-crime-on-premises | \
      alert-of-crime-commission-location-victims-perpetrator | suspicious-death-notification)
      echo law-enforcement ;;
    *) echo ;;
  esac
}
general_role() { [ "$1" = health-care-provider ] && echo Health-care-provider || echo; }

{
  echo purpose,also_counts_as
  "$build/hipaa-import" --list-values purpose | while read -r p; do echo "$p,$(general_purpose "$p")"; done
} > "$here/purposes.csv"
{
  echo role,also_counts_as
  "$build/hipaa-import" --list-values role | while read -r r; do echo "$r,$(general_role "$r")"; done
} > "$here/roles.csv"
