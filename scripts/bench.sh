#!/usr/bin/env bash
# Builds the release benchmarks and runs them on the Japanese Debian
# Reference (package debian-reference-ja), installed here when missing:
# the conversion, the line-breaking rules, then the window on the offscreen platform and under a
# virtual X server (Xvfb) with the xcb platform, then the program's start-up
# with the reference text on its command line.
# Extra arguments go to Google Benchmark (e.g. --benchmark_filter=Convert).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh debian-reference-ja
mkdir -p bench/data
text=bench/data/debian-reference.ja.txt
[ -s "$text" ] || zcat /usr/share/debian-reference/debian-reference.ja.txt.gz > "$text"

cmake --preset release >/dev/null
cmake --build --preset release --target mirotabe_bench mirotabe_ui_bench mirotabe_picture_bench \
  mirotabe_kinsoku_bench mirotabe
bin=build/release/bin
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")

build/release/bin/mirotabe_bench --benchmark_counters_tabular=true "$@"

echo "== The line-breaking rules against ICU's strict Japanese line breaker"
"$bin/mirotabe_kinsoku_bench"

echo "== The pictures of the layout, offscreen"
QT_QPA_PLATFORM=offscreen "$bin/mirotabe_picture_bench" --benchmark_counters_tabular=true "$@"

echo "== The window, offscreen"
QT_QPA_PLATFORM=offscreen "$bin/mirotabe_ui_bench" --benchmark_counters_tabular=true "$@"
echo "== The window, xcb under Xvfb"
"${xvfb[@]}" env QT_QPA_PLATFORM=xcb "$bin/mirotabe_ui_bench" --benchmark_counters_tabular=true "$@"

echo "== Start-up with $text, offscreen"
QT_QPA_PLATFORM=offscreen scripts/startup_bench.sh "$bin/mirotabe" "$text"
echo "== Start-up with $text, xcb under Xvfb"
"${xvfb[@]}" env QT_QPA_PLATFORM=xcb scripts/startup_bench.sh "$bin/mirotabe" "$text"

echo "== The converter against iconv"
scripts/convert_bench.sh

echo "== PDF pages of the whole text: A4 and 原稿用紙"
scripts/pdf_bench.sh

echo "== The browser's edition"
scripts/web_bench.sh
