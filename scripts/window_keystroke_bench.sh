#!/usr/bin/env bash
# Times a keystroke until painted in the Windows window under wine, against
# the Linux window on the same machine in the same run (both on an Xvfb
# display), at 1x and 16x the reference text (see scripts/bench.sh, which
# prepares it); and the Windows window's edit control alone, the part of
# the keystroke that wine's own control takes.
# Usage: scripts/window_keystroke_bench.sh [KEYSTROKES]   (30 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
keystrokes="${1:-30}"

text=$PWD/bench/data/debian-reference.ja.txt
[ -s "$text" ] || { echo "Run scripts/bench.sh first: $text is missing" >&2; exit 1; }
cmake --preset release >/dev/null
cmake --build --preset release --target mirotabe_ui_bench >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target mirotabe_window_bench >/dev/null
export MIROTABE_WINDOW_PREFIX=$PWD/build/windows/wine-window

echo "Linux window (Qt, xcb on Xvfb):"
MIROTABE_BENCH_TEXT=$text QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/release/bin/mirotabe_ui_bench \
  --benchmark_filter='BM_KeystrokeToPaintedOutput/shape:[02]/columns:0/vertical:0/start:0' 2>&1 |
  grep BM_
for times in 1 16; do
  echo "Windows window under wine, ${times}x:"
  tests/windows/on_display.sh scripts/wine-run.sh build/windows/bin/mirotabe_window_bench.exe \
    "$text" "$times" "$keystrokes" 2>/dev/null | head -1
  echo "  its edit control alone:"
  tests/windows/on_display.sh scripts/wine-run.sh build/windows/bin/mirotabe_window_bench.exe \
    "$text" "$times" "$keystrokes" edit 2>/dev/null | head -1
done
