#!/usr/bin/env bash
# Measures the browser's edition on the reference text (see scripts/bench.sh,
# which prepares it): the page in headless Chromium (keystroke → painted at
# 1 MB and at 20 lines against a peer page, first and repeat offline visit
# to interactive, a PDF of the text),
# convert() in Node against the same conversion compiled natively and run
# in-process, and the site's compressed transfer size.
set -euo pipefail
cd "$(dirname "$0")/.."
text=bench/data/debian-reference.ja.txt
[ -s "$text" ] || { echo "Run scripts/bench.sh first: $text is missing" >&2; exit 1; }

scripts/install-deps.sh
cmake --preset web >/dev/null
cmake --build --preset web --target site
cmake --preset release >/dev/null
cmake --build --preset release --target mirotabe_web_convert_bench

echo "== The page, headless Chromium"
node bench/web/page_bench.mjs build/web/site "$text"
echo "== A PDF of the reference text, A4 and 原稿用紙"
node bench/web/pdf_bench.mjs build/web/site "$text"
echo "== convert() in Node, and the site's size"
node bench/web/convert_bench.mjs build/web/site "$text"
echo "== The same conversion, native, in-process"
build/release/bin/mirotabe_web_convert_bench
