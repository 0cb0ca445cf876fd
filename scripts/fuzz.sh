#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz": clang, libFuzzer, ASan+UBSan) and
# runs each in turn for SECONDS (60 by default), starting from the seeds in
# fuzz/corpus/. New inputs collect in build/fuzz/corpus/, findings in
# build/fuzz/findings/. Fails when any target finds a crash, a sanitizer
# report, a leak, a timeout or a broken property.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true

scripts/install-deps.sh clang libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_targets

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for seeds in fuzz/corpus/*/; do
    target="$(basename "$seeds")"
    [ -x "build/fuzz/bin/$target" ] && targets+=("$target")
  done
fi

failed=()
for target in "${targets[@]}"; do
  corpus="build/fuzz/corpus/$target"
  findings="build/fuzz/findings/$target"
  mkdir -p "$corpus" "$findings"
  log="build/fuzz/$target.log"
  echo "== $target: ${seconds} s"
  if "build/fuzz/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "fuzz/corpus/$target" \
      >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^Done' "$log" || true
  else
    tail -n 30 "$log"
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "Findings in: ${failed[*]} (inputs in build/fuzz/findings/)" >&2
  exit 1
fi
