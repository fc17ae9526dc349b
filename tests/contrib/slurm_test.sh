#!/usr/bin/env bash
# The Slurm path end to end: a single-node cluster on this machine (munged,
# slurmctld and slurmd of its own, on free ports, with a generated
# slurm.conf), contrib/slurm/submit.sh run from an unrelated folder with
# relative paths, the job array and the merge job awaited, and the merged
# report compared byte for byte with a run without shards.  Every daemon it
# started is stopped and every job cancelled, whatever happens.
# Usage: slurm_test.sh BUILD SOURCE [DISCLOSURES]   (exit 77: skipped)
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") disclosures=${3:-100000}
shards=4

if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: starting slurmctld and slurmd takes root"
  exit 77
fi
for program in munged slurmctld slurmd sbatch squeue scontrol; do
  if ! command -v "$program" >/dev/null; then
    echo "skipped: $program is missing (scripts/setup.sh installs slurm-wlm and munge)"
    exit 77
  fi
done

source "$source/tests/contrib/shard_fixture.sh"
daemons=()
cleanup() {
  set +e
  if [ -n "${SLURM_CONF:-}" ] && [ ${#daemons[@]} -gt 1 ]; then
    scancel --quiet --full "--partition=hipaatest" 2>/dev/null
    for _ in $(seq 20); do
      [ -z "$(squeue -h 2>/dev/null)" ] && break
      sleep 0.5
    done
  fi
  for pid in "${daemons[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${daemons[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

free_port() {
  local port
  while :; do
    port=$((20000 + RANDOM % 20000))
    ss -ltnH "sport = :$port" | grep -q . || { echo "$port"; return; }
  done
}

# munged with a key and a socket of its own.
mkdir -m 700 "$work/munge"
head -c 1024 /dev/urandom >"$work/munge/munge.key"
chmod 400 "$work/munge/munge.key"
munged --foreground --force --key-file="$work/munge/munge.key" \
  --socket="$work/munge/socket" --pid-file="$work/munge/pid" \
  --log-file="$work/munge/log" --seed-file="$work/munge/seed" >"$work/munge/out" 2>&1 &
daemons+=($!)
for _ in $(seq 50); do [ -S "$work/munge/socket" ] && break; sleep 0.1; done

host=$(hostname -s)
mkdir -p "$work/slurm/state" "$work/slurm/spool"
export SLURM_CONF=$work/slurm/slurm.conf
cat >"$SLURM_CONF" <<CONF
ClusterName=hipaatest
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$(free_port)
SlurmdPort=$(free_port)
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$work/munge/socket
CredType=cred/munge
StateSaveLocation=$work/slurm/state
SlurmdSpoolDir=$work/slurm/spool
SlurmctldPidFile=$work/slurm/slurmctld.pid
SlurmdPidFile=$work/slurm/slurmd.pid
SlurmctldLogFile=$work/slurm/slurmctld.log
SlurmdLogFile=$work/slurm/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
MpiDefault=none
SchedulerType=sched/backfill
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
MinJobAge=600
NodeName=$host NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=hipaatest Nodes=ALL Default=YES MaxTime=INFINITE State=UP
CONF
slurmctld -D -i >"$work/slurm/slurmctld.out" 2>&1 &
daemons+=($!)
slurmd -D >"$work/slurm/slurmd.out" 2>&1 &
daemons+=($!)
for _ in $(seq 100); do
  state=$(sinfo -h -o %T 2>/dev/null || true)
  [ "$state" = idle ] && break
  sleep 0.2
done
if [ "$state" != idle ]; then
  echo "FAIL: the node did not come up (state \"$state\")" >&2
  tail -n 20 "$work/slurm/slurmctld.log" "$work/slurm/slurmd.log" >&2
  exit 1
fi

make_whole_run

# From a folder that holds no case study, with relative paths.
mkdir "$work/elsewhere"
cd "$work/elsewhere"
read -r array merge < <("$source/contrib/slurm/submit.sh" --shards "$shards" \
  --report "$(realpath --relative-to=. "$build/hipaa-report")" \
  --decls ../hipaa-case-study/hipaa.d --policy ../hipaa-case-study/hipaa.f ../hipaa.db ../run)
for _ in $(seq 1200); do
  [ -z "$(squeue -h -j "$array,$merge" 2>/dev/null)" ] && break
  sleep 0.5
done
[ -z "$(squeue -h -j "$array,$merge")" ] || { echo "FAIL: the jobs did not finish" >&2; exit 1; }

# Every task and the merge ended with status 0 (violations are no failure).
states=$({ scontrol -o show job "$array"; scontrol -o show job "$merge"; } | grep -o 'JobState=[A-Z]* .*ExitCode=[0-9:]*' |
  sed -E 's/JobState=([A-Z]+) .*ExitCode=([0-9:]+)/\1 \2/' | sort | uniq -c)
expected=$(printf '%7d COMPLETED 0:0' $((shards + 1)))
if [ "$states" != "$expected" ]; then
  echo "FAIL: job states: $states" >&2
  cat "$work"/run/logs/*.out >&2
  exit 1
fi
same_as_whole "$work/run/report"
grep -q '"violation": [1-9]' "$work/run/report/manifest.json" ||
  { echo "FAIL: the merged manifest counts no violation" >&2; exit 1; }
echo "slurm: $shards shards of $disclosures disclosures merged into the whole run's report"
