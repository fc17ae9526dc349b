# Shared start of the case-study benchmarks, sourced with the script's
# arguments "[build-dir] [sizes...]": sets `build` (absolute), `root` (the
# project), `sizes` (default: the caller's `default_sizes`) and `work`, a
# scratch folder holding a copy of the case study that is removed on exit,
# and moves into it.
build=${1:-build}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=("${default_sizes[@]}")

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "$build" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/hipaa-case-study" "$work/"
cd "$work"
