#!/usr/bin/env bash
# Builds the release benchmarks and runs them on the Japanese Debian
# Reference (package debian-reference-ja), installed here when missing:
# the conversion, then the window on the offscreen platform and under a
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
cmake --build --preset release --target mirotabe_bench mirotabe_ui_bench mirotabe
bin=build/release/bin
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")

build/release/bin/mirotabe_bench --benchmark_counters_tabular=true "$@"

echo "== The window, offscreen"
QT_QPA_PLATFORM=offscreen "$bin/mirotabe_ui_bench" --benchmark_counters_tabular=true "$@"
echo "== The window, xcb under Xvfb"
"${xvfb[@]}" env QT_QPA_PLATFORM=xcb "$bin/mirotabe_ui_bench" --benchmark_counters_tabular=true "$@"

# Whole process, from exec until the output pane has painted the text (the
# program quits there), ten times; a copy of the program in a folder of its
# own, so that it reads no settings file but its own defaults.
startup_runs() {
  local folder
  folder=$(mktemp -d)
  cp "$bin/mirotabe" "$folder/"
  for _ in $(seq 10); do
    local start end
    start=$(date +%s%N)
    MIROTABE_QUIT_AFTER_FIRST_PAINT=1 "$folder/mirotabe" "$PWD/$text"
    end=$(date +%s%N)
    echo "$(((end - start) / 1000000))"
  done | sort -n | awk '{ms[NR] = $1} END {
    printf "start-up to first painted output, ms: min %d, median %d, max %d (%d runs)\n",
           ms[1], ms[int((NR + 1) / 2)], ms[NR], NR}'
  rm -rf "$folder"
}
export -f startup_runs
export bin text
echo "== Start-up with $text, offscreen"
QT_QPA_PLATFORM=offscreen startup_runs
echo "== Start-up with $text, xcb under Xvfb"
"${xvfb[@]}" env QT_QPA_PLATFORM=xcb bash -c startup_runs
