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
# Writes OUT-FOLDER/page.png, head.png, marks.png and foot.png (parts of
# page 1 at print resolution) and both PDFs.
set -euo pipefail
cd "$(dirname "$0")/.."
text="${1:-bench/typesetting/rain-station.txt}"
out="${2:-build/compare}"

scripts/install-deps.sh --run chromium poppler-utils netpbm optipng
if [ -z "${MIROTABE_CONVERT:-}" ]; then
  cmake --preset dev >/dev/null
  cmake --build --preset dev --target mirotabe-convert >/dev/null
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
# region of it given in millimetres from its top left, at DPI, with a grey
# bar between them.
side_by_side() {
  local name=$1 dpi=$2 region=()
  if [ $# -eq 6 ]; then
    read -r -a region < <(awk -v d="$dpi" -v x="$3" -v y="$4" -v w="$5" -v h="$6" 'BEGIN {
      p = d / 25.4; printf "-x %d -y %d -W %d -H %d\n", x * p, y * p, w * p, h * p }')
  fi
  pdftoppm -r "$dpi" -f 1 -l 1 -singlefile "${region[@]}" "$out/mirotabe.pdf" "$work/ours"
  pdftoppm -r "$dpi" -f 1 -l 1 -singlefile "${region[@]}" "$out/chromium.pdf" "$work/peer"
  local height
  height=$(pnmfile "$work/ours.ppm" | awk '{ print $6 }')
  ppmmake '#888888' 6 "$height" >"$work/bar.ppm"
  pnmcat -white -lr "$work/ours.ppm" "$work/bar.ppm" "$work/peer.ppm" | pnmtopng >"$out/$name.png"
  optipng -quiet -o2 "$out/$name.png"
}
side_by_side page 80
# The heads of the first columns (the title, the first paragraph's ruby,
# numbers and Latin), a band lower down (punctuation and brackets side by
# side), and the column ends with the page number.
side_by_side head 200 138 12 59 76
side_by_side marks 200 140 175 45 60
side_by_side foot 150 95 255 105 42
ls -l "$out"/*.png
