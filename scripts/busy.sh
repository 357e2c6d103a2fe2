#!/usr/bin/env bash
# Runs a command with one busy process per core beside it (the load a shared machine puts on the
# suite) and stops them when the command ends; without a command the load runs until interrupted.
# The load average is printed before and after.
#   scripts/busy.sh .ci/run
#   scripts/busy.sh bash -c 'cd build && ctest -R screen'
# BUSY_PROCS sets how many (default: the number of cores).
set -uo pipefail
count=${BUSY_PROCS:-$(nproc)}
pids=()
stop() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait "${pids[@]}" 2>/dev/null
}
trap stop EXIT
trap 'exit 130' INT TERM
for ((i = 0; i < count; i++)); do
  sh -c 'while :; do :; done' &
  pids+=($!)
done
echo "busy: $count processes beside the command, load $(cut -d' ' -f1-3 /proc/loadavg)" >&2
if [ $# -eq 0 ]; then
  wait
  exit 0
fi
start=$SECONDS
"$@"
status=$?
echo "busy: the command ended with $status after $((SECONDS - start)) s, load $(cut -d' ' -f1-3 /proc/loadavg)" >&2
exit $status
