#!/usr/bin/env bash
# Measures the release mirotabe-convert as a whole process on the reference
# text (see scripts/bench.sh, which prepares it): its CPU time against that
# of iconv encoding the very same output into code page 932, in the same
# run, and its peak memory at 1x and 16x the text.
# Usage: scripts/convert_bench.sh [RUNS]   (20 runs by default)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-20}"

text=bench/data/debian-reference.ja.txt
[ -s "$text" ] || { echo "Run scripts/bench.sh first: $text is missing" >&2; exit 1; }
convert=build/release/bin/mirotabe-convert
cmake --preset release >/dev/null
cmake --build --preset release --target mirotabe-convert >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: >"$work/empty.ini"
# The converter reads code page 932; characters it cannot hold are left out.
iconv -c -f UTF-8 -t CP932 "$text" >"$work/in.txt" || true
for _ in $(seq 16); do cat "$work/in.txt"; done >"$work/in16.txt"
"$convert" --settings "$work/empty.ini" "$work/in.txt" >"$work/out.txt"
iconv -f CP932 -t UTF-8 "$work/out.txt" >"$work/out-utf8.txt"

# User plus system seconds of `runs` runs of a command, output discarded.
cpu_seconds() {
  /usr/bin/time -f '%U %S' bash -c 'for ((i = 0; i < $0; i++)); do "${@}" >/dev/null; done' \
    "$runs" "$@" 2>&1 >/dev/null | tail -1 | awk '{ printf "%.3f", $1 + $2 }'
}
peak_kb() {
  /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -1
}

ours=$(cpu_seconds "$convert" --settings "$work/empty.ini" "$work/in.txt")
theirs=$(cpu_seconds iconv -f UTF-8 -t CP932 "$work/out-utf8.txt")
chars=$(wc -m <"$text")
echo "input: $(wc -c <"$work/in.txt") bytes (cp932), $chars characters; output: $(wc -c <"$work/out.txt") bytes"
echo "CPU, $runs runs: mirotabe-convert ${ours} s, iconv -f UTF-8 -t CP932 of its output ${theirs} s," \
  "ratio $(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')"
rss1=$(peak_kb "$convert" --settings "$work/empty.ini" "$work/in.txt")
rss16=$(peak_kb "$convert" --settings "$work/empty.ini" "$work/in16.txt")
echo "peak RSS: 1x ${rss1} KB; 16x ${rss16} KB" \
  "(bound at 16x: 4 bytes x $((chars * 16)) characters + 8 MB = $(((chars * 16 * 4 + 8 * 1024 * 1024) / 1024)) KB)"
