#!/usr/bin/env bash
# Times hipaa-import on a generated log's CSV export twice: as exported
# (ISO dates, declared codes), and as a hospital's systems write it, with
# every date of disclose, hasattrof_db and inrole_db in US form with AM/PM
# and every purpose a local code, read back with --date-format and --map.
# With a second build folder (an earlier version), its import of the
# exported files is timed too, as the reference.  Times are CPU seconds
# (user + system), which a busy machine disturbs less than wall time.
# Usage: bench/import_formats.sh [build-dir] [reference-build-dir] [disclosures]
set -euo pipefail
reference=${2:-}
[ -z "$reference" ] || reference=$(cd "$reference" && pwd)
default_sizes=(${3:-1000000})
source "$(dirname "$0")/case_study_workspace.sh" "${1:-build}"

cpu() { # command...: CPU seconds and peak MB of the command
  /usr/bin/time -f '%U %S %M' -o usage.txt "$@" > /dev/null 2> errors.txt ||
    { cat errors.txt >&2; exit 1; }
  awk '{ printf "%.2f %.1f", $1 + $2, $3 / 1024 }' usage.txt
}

n=${sizes[0]}
"$build/hipaa-loggen" --disclosures "$n" --seed 1 --output log.db --force > /dev/null 2>&1
mkdir records local
"$build/hipaa-export" --db log.db --out records > /dev/null
cp records/*.csv local/
for table in disclose hasattrof_db inrole_db; do
  awk -F, -v OFS=, 'NR > 1 { for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]{4}(:[0-9]{2}){5}$/) {
      split($i, f, ":"); h = f[4] + 0; p = h < 12 ? "AM" : "PM"; h = h % 12; if (h == 0) h = 12
      $i = sprintf("%s/%s/%s %d:%s:%s %s", f[2], f[3], f[1], h, f[5], f[6], p) } } { print }' \
    "records/$table.csv" > "local/$table.csv"
done
awk -F, -v OFS=, 'NR > 1 { $2 = "L-" $2 } { print }' records/purp_in_db.csv > local/purp_in_db.csv
{ echo sort,local,constant
  awk -F, 'NR > 1 { print "purpose,L-" $2 "," $2 }' records/purp_in_db.csv | sort -u; } > codes.csv

printf '%-44s %10s %10s\n' "import of $n disclosures" "CPU s" "peak MB"
if [ -n "$reference" ]; then
  printf '%-44s %10s %10s\n' "reference build, exported files" \
    $(cpu "$reference/hipaa-import" --force --output ref.db records/*.csv)
fi
printf '%-44s %10s %10s\n' "this build, exported files" \
  $(cpu "$build/hipaa-import" --force --output plain.db records/*.csv)
printf '%-44s %10s %10s\n' "this build, --date-format and --map" \
  $(cpu "$build/hipaa-import" --force --output local.db --map codes.csv \
      --date-format "%m/%d/%Y %I:%M:%S %p" local/*.csv)
# The two imports store the same rows.
for table in disclose purp_in_db hasattrof_db; do
  [ "$(sqlite3 plain.db "SELECT count(*), sum(length(at)) FROM $table" 2>/dev/null ||
       sqlite3 plain.db "SELECT count(*) FROM $table")" = \
    "$(sqlite3 local.db "SELECT count(*), sum(length(at)) FROM $table" 2>/dev/null ||
       sqlite3 local.db "SELECT count(*) FROM $table")" ] || { echo "$table differs" >&2; exit 1; }
done
