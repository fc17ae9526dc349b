#!/usr/bin/env bash
# Times summary.html in headless Chromium on generated logs with violations:
# how long after it is asked for the page is drawn ("open", from the page's
# own clock, which starts with the navigation), the same with a filter
# given in the address (#filter?...) applied as it opens ("open+filter"),
# the part of that spent in the page's script, and the wall time of the
# whole browser run, start-up included.  Each figure is the least of RUNS
# rounds (default 3).  The page must open and filter in under 2 s.
# Usage: [RUNS=n] bench/report_page.sh [build-dir] [sizes...]
set -euo pipefail
default_sizes=(100000)
source "$(dirname "$0")/case_study_workspace.sh" "$@"
runs=${RUNS:-3}
chromium=${CHROMIUM:-/usr/bin/chromium}

# Prints "ready-at script-ms wall-seconds" for one page load of URL.
load() {
  local profile
  profile=$(mktemp -d)
  local start end
  start=$(date +%s.%N)
  "$chromium" --headless --no-sandbox --disable-gpu --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync --disable-quic \
    --user-data-dir="$profile" --dump-dom "$1" > dom.html 2> /dev/null
  end=$(date +%s.%N)
  rm -rf "$profile"
  local at ms
  at=$(grep -o 'data-ready-at="[0-9]*"' dom.html | grep -o '[0-9]*')
  ms=$(grep -o 'data-ready="[0-9]*"' dom.html | grep -o '[0-9]*')
  echo "$at $ms $(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')"
}

least() { sort -n | head -n 1; }

printf '%10s %9s %6s %11s %13s %10s %9s\n' disclosures "page MB" rows "open ms" \
  "open+filter ms" "script ms" "wall s"
for n in "${sizes[@]}"; do
  "$build/hipaa-loggen" --disclosures "$n" --seed 1 --violations 0.1 --output hipaa.db \
    --force 2> /dev/null
  "$build/hipaa-report" --quiet --no-lint --format html --out out || [ $? -eq 1 ]
  page="file://$PWD/out/summary.html"
  rows=$(grep -o '"rowsTotal":[0-9]*' out/summary.html | grep -o '[0-9]*$')
  size=$(du -k out/summary.html | awk '{ printf "%.1f", $1 / 1024 }')
  opened=() filtered=() script=() wall=()
  for ((round = 0; round < runs; ++round)); do
    read -r at _ _ <<< "$(load "$page")"
    opened+=("$at")
    read -r at ms seconds <<< "$(load "$page#filter?search=msg-00000&verdict=open&from=2010-01-02")"
    filtered+=("$at")
    script+=("$ms")
    wall+=("$seconds")
  done
  printf '%10d %9s %6s %11s %13s %10s %9.2f\n' "$n" "$size" "$rows" \
    "$(printf '%s\n' "${opened[@]}" | least)" "$(printf '%s\n' "${filtered[@]}" | least)" \
    "$(printf '%s\n' "${script[@]}" | least)" "$(printf '%s\n' "${wall[@]}" | least)"
done
