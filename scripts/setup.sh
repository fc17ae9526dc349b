#!/usr/bin/env bash
# Installs what a fresh Debian machine may lack to build and test
# hipaa-audit; does nothing when everything is present.
set -euo pipefail

packages=(cmake ninja-build g++ make pkg-config libsqlite3-dev libgmp-dev googletest
          libgtest-dev libbenchmark-dev sqlite3 tzdata clang libclang-rt-dev
          nlohmann-json3-dev chromium)
# GNU time: peak memory in the import benchmark.
packages+=(time)
# The allocator that hipaa-audit is linked with.
packages+=(libmimalloc-dev)
# The companion tools' command lines.
packages+=(libcli11-dev)
# SHA-256 for the report's manifest.
packages+=(libssl-dev)
# The scheduler recipes' tests: a single-node Slurm cluster and GNU parallel.
packages+=(slurm-wlm munge parallel)
missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
