#!/usr/bin/env bash
# Times the whole program, from exec until its output pane has painted the
# text of FILE, or a message box has said why not (the program quits
# there), RUNS times (10 by default), and prints the minimum, median and
# maximum in ms, and the largest peak resident memory. A copy of the program runs
# from a folder of its own, so that it reads no settings file but its own
# defaults. Usage: startup_bench.sh PROGRAM FILE [RUNS]
set -euo pipefail
program=$1
file=$(realpath "$2")
runs=${3:-10}

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$program" "$folder/mirotabe"
export XDG_RUNTIME_DIR="$folder/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  kb=$(/usr/bin/time -f '%M' env MIROTABE_QUIT_AFTER_FIRST_PAINT=1 "$folder/mirotabe" "$file" \
    2>&1 >/dev/null | tail -1)
  end=$(date +%s%N)
  echo "$(((end - start) / 1000000)) $kb"
done | sort -n | awk '{ms[NR] = $1; if ($2 > kb) kb = $2} END {
  printf "start-up to first painted output, ms: min %d, median %d, max %d (%d runs); peak RSS at most %.1f MB\n",
         ms[1], ms[int((NR + 1) / 2)], ms[NR], NR, kb / 1024}'
