#!/usr/bin/env bash
# Builds the release benchmarks and runs them on the Japanese Debian
# Reference (package debian-reference-ja), installed here when missing:
# the conversion, the line-breaking rules, then the window on the offscreen platform and under a
# virtual X server (Xvfb) with the xcb platform, then the program's start-up
# with the reference text on its command line, and with texts of 16 MB,
# 100 MB and one line of 20 MB.
# Extra arguments go to Google Benchmark (e.g. --benchmark_filter=Convert).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh debian-reference-ja libxtst-dev xclip gettext
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
[ -s bench/data/ja-messages.txt ] || scripts/make_messages_corpus.sh
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

# Large texts: the reference 16 and 100 times over (16 MB, 100 MB), and its
# lines joined into one line of 20 MB. The 100 MB text is timed until the
# window says that it is too long to lay out.
large16=bench/data/reference-16x.txt
large100=bench/data/reference-100x.txt
oneLine=bench/data/reference-one-line-20mb.txt
[ -s "$large16" ] || for _ in $(seq 16); do cat "$text"; done >"$large16"
[ -s "$large100" ] || for _ in $(seq 100); do cat "$text"; done >"$large100"
[ -s "$oneLine" ] || for _ in $(seq 20); do tr -d '\n' <"$text"; done >"$oneLine"
for file in "$large16" "$oneLine" "$large100"; do
  echo "== Start-up with $file, xcb under Xvfb"
  "${xvfb[@]}" env QT_QPA_PLATFORM=xcb scripts/startup_bench.sh "$bin/mirotabe" "$file" 5
done

# Against a text editor, when one is installed by hand.
if command -v mousepad >/dev/null || command -v gedit >/dev/null; then
  cmake --build --preset release --target screen_probe
  "${xvfb[@]}" scripts/editor_bench.sh "$large16"
fi

echo "== The converter against iconv"
scripts/convert_bench.sh

echo "== PDF pages of the whole text: A4 and 原稿用紙"
scripts/pdf_bench.sh

echo "== The browser's edition"
scripts/web_bench.sh
