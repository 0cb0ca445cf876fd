#!/usr/bin/env bash
# Makes docs/manual/window.png, the picture of the window that the README
# and the manual show: the program as scripts/run.sh builds it, with the
# sample text, 縦組み表示 on and the panes at 12 points, in a virtual X
# server, captured with xwd and written as a small PNG.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --run xvfb xauth xdotool x11-apps netpbm optipng
cmake --preset run >/dev/null
cmake --build --preset run --target mirotabe

# A copy in a folder of its own reads the settings beside it, and no others.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp build/run/bin/mirotabe "$work/"
printf '[Options]\r\nVerticalView=1\r\nFontSize=12\r\n' >"$work/Setting.ini"

export work
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$work/mirotabe" packaging/sample.txt & program=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name " — Mirotabe\$" | head -n 1)
  sleep 1
  xwd -silent -id "$window" >"$work/window.xwd"
  kill "$program"; wait "$program" 2>/dev/null || true'
xwdtopnm "$work/window.xwd" 2>/dev/null | pnmtopng >"$work/window.png"
optipng -quiet -o7 -strip all "$work/window.png"
cp "$work/window.png" docs/manual/window.png
echo "docs/manual/window.png: $(stat -c %s docs/manual/window.png) bytes"
