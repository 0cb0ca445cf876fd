#!/usr/bin/env bash
# Measures the Windows converter under wine against the Linux release
# converter on this machine, in the same run: the wall time of RUNS
# conversions of the reference text in code page 932 at 1x and 16x (see
# scripts/bench.sh, which prepares it). Wine's own start is part of the
# Windows figure, as it is of every run under wine.
# Usage: scripts/windows_bench.sh [RUNS]   (10 runs by default)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"

text=bench/data/debian-reference.ja.txt
[ -s "$text" ] || { echo "Run scripts/bench.sh first: $text is missing" >&2; exit 1; }
cmake --preset release >/dev/null
cmake --build --preset release --target mirotabe-convert >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target mirotabe-convert >/dev/null
linux=build/release/bin/mirotabe-convert
windows=build/windows/bin/mirotabe-convert.exe

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: >"$work/empty.ini"
iconv -c -f UTF-8 -t CP932 "$text" >"$work/in.txt" || true
for _ in $(seq 16); do cat "$work/in.txt"; done >"$work/in16.txt"
# The wine prefix is made before the clock starts.
scripts/wine-run.sh "$windows" --version >/dev/null

# Seconds of wall time for `runs` runs of a command, output discarded.
wall_seconds() {
  local start end
  start=$(date +%s.%N)
  for ((i = 0; i < runs; i++)); do "$@" >/dev/null; done
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

for input in in.txt in16.txt; do
  ours=$(wall_seconds "$linux" --settings "$work/empty.ini" "$work/$input")
  theirs=$(wall_seconds scripts/wine-run.sh "$windows" --settings "$work/empty.ini" "$work/$input")
  # Wine's start alone: the converter's shortest run.
  start=$(wall_seconds scripts/wine-run.sh "$windows" --version)
  echo "$input ($(wc -c <"$work/$input") bytes), $runs runs: Linux ${ours} s, Windows under wine" \
    "${theirs} s (of which wine starting ${start} s), ratio" \
    "$(awk -v a="$theirs" -v b="$ours" 'BEGIN { printf "%.2f", a / b }')," \
    "without wine's start $(awk -v a="$theirs" -v s="$start" -v b="$ours" 'BEGIN { printf "%.2f", (a - s) / b }')"
done
