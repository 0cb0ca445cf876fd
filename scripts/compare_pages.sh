#!/usr/bin/env bash
# Puts the converter's A4 page beside Chromium's print of the same text
# (bench/web/print_peer.mjs: CSS vertical-rl, line-break: strict, 縦中横 of
# two digits, <ruby>, the same IPAMincho, size, column spacing and margins,
# page numbers in the bottom margin), to be judged by eye: page 1 of both
# side by side, and details of both at print resolution, the converter's
# always on the left.
# Usage: scripts/compare_pages.sh [TEXT] [OUT-FOLDER]
#   (default: bench/typesetting/rain-station.txt into build/compare)
# The converter is the dev build's unless MIROTABE_CONVERT names one.
# Writes OUT-FOLDER/page.png, top.png (the heads of the first columns),
# foot.png (the column ends and the page number), middle.png (the middle
# of the first columns) and both PDFs.
set -euo pipefail
cd "$(dirname "$0")/.."
text="${1:-bench/typesetting/rain-station.txt}"
out="${2:-build/compare}"

scripts/install-deps.sh --run chromium poppler-utils netpbm optipng
if [ -z "${MIROTABE_CONVERT:-}" ]; then
  cmake --preset dev >/dev/null
  cmake --build --preset dev --target mirotabe-convert mirotabe-convert-picture >/dev/null
  MIROTABE_CONVERT=build/dev/bin/mirotabe-convert
fi
[ -d tests/web/node_modules ] || scripts/install-deps.sh
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The converter's default A4 page, numbered as the peer's is.
printf '[Page]\r\nPageNumbers=1\r\n' >"$work/settings.ini"
"$MIROTABE_CONVERT" --settings "$work/settings.ini" --page a4 -o "$out/mirotabe.pdf" "$text"
node bench/web/print_peer.mjs --page-numbers "$text" "$out/chromium.pdf"

# side_by_side NAME DPI [X Y WIDTH HEIGHT]: page 1 of both PDFs, or the
# region of it given in pixels at DPI, with a grey bar between them.
side_by_side() {
  local name=$1 dpi=$2 region=()
  [ $# -eq 6 ] && region=(-x "$3" -y "$4" -W "$5" -H "$6")
  pdftoppm -r "$dpi" -f 1 -l 1 -singlefile "${region[@]}" "$out/mirotabe.pdf" "$work/ours"
  pdftoppm -r "$dpi" -f 1 -l 1 -singlefile "${region[@]}" "$out/chromium.pdf" "$work/peer"
  local height
  height=$(pnmfile "$work/ours.ppm" | awk '{ print $6 }')
  ppmmake '#888888' 6 "$height" >"$work/bar.ppm"
  pnmcat -white -lr "$work/ours.ppm" "$work/bar.ppm" "$work/peer.ppm" | pnmtopng >"$out/$name.png"
  optipng -quiet -o2 "$out/$name.png"
}
side_by_side page 80
# At 200 dpi an A4 page is 1654 × 2339 pixels.
side_by_side top 200 1080 60 574 520
side_by_side middle 200 1080 900 574 520
side_by_side foot 200 880 1780 774 559
ls -l "$out"/*.png
