# Shared by the scheduler tests (sourced): a scratch folder with a generated
# log and the report of one run without shards, and the comparison of a
# merged report with it.  Expects $build, $source and $disclosures.

work=$(mktemp -d "${TMPDIR:-/tmp}/hipaa-shards-XXXXXX")
ln -s "$source/hipaa-case-study" "$work/hipaa-case-study"

# Makes the log and the whole run's report (its exit status in
# $whole_status), naming the inputs as the recipes do, by absolute paths:
# the page shows them.
make_whole_run() {
  (cd "$work" && "$build/hipaa-loggen" --disclosures "$disclosures" --seed 3 --violations 0.01 \
    --output hipaa.db --force >/dev/null)
  whole_status=0
  "$build/hipaa-report" --quiet --out "$work/whole" --db "$(realpath "$work/hipaa.db")" \
    --decls "$(realpath "$work/hipaa-case-study/hipaa.d")" \
    --policy "$(realpath "$work/hipaa-case-study/hipaa.f")" || whole_status=$?
  [ "$whole_status" -ne 2 ] || { echo "FAIL: the run without shards failed" >&2; exit 1; }
}

# The page without when its run began: its line and the page data's field.
page_body() {
  grep -v '^<tr><th>started</th>' "$1" | sed -E 's/"started":"[^"]*"/"started":""/'
}

# Compares the report folder $1 with the whole run's, byte for byte.
same_as_whole() {
  local merged=$1 file
  for file in verdicts.csv verdicts.json worklist.csv; do
    cmp "$work/whole/$file" "$merged/$file" || { echo "FAIL: $file differs" >&2; exit 1; }
  done
  cmp <(page_body "$work/whole/summary.html") <(page_body "$merged/summary.html") ||
    { echo "FAIL: summary.html differs" >&2; exit 1; }
}
