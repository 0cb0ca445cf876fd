#!/usr/bin/env bash
# Builds the release benchmarks and runs them on the Japanese Debian
# Reference (package debian-reference-ja), installed here when missing.
# Extra arguments go to Google Benchmark (e.g. --benchmark_filter=Convert).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh debian-reference-ja
mkdir -p bench/data
text=bench/data/debian-reference.ja.txt
[ -s "$text" ] || zcat /usr/share/debian-reference/debian-reference.ja.txt.gz > "$text"

cmake --preset release >/dev/null
cmake --build --preset release --target mirotabe_bench
cmake --build --preset release --target mirotabe_ui_bench
build/release/bin/mirotabe_bench --benchmark_counters_tabular=true "$@"
build/release/bin/mirotabe_ui_bench --benchmark_counters_tabular=true "$@"
scripts/convert_bench.sh
