#!/usr/bin/env bash
# Measures the release mirotabe-convert making one e-book of each text in a
# folder: every text in one call (--output-dir, the work spread over the
# cores) against one process a text in a shell loop, in the same run, by
# wall-clock time, and checks that both made the same bytes.
# Usage: scripts/epub_batch_bench.sh FOLDER [COUNT]
#   FOLDER holds the texts (*.txt, any depth); the first COUNT (1000 by
#   default) in name order are used.
set -euo pipefail
cd "$(dirname "$0")/.."
folder="${1:?usage: scripts/epub_batch_bench.sh FOLDER [COUNT]}"
count="${2:-1000}"

convert=$PWD/build/release/bin/mirotabe-convert
cmake --preset release >/dev/null
cmake --build --preset release --target mirotabe-convert >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: >"$work/empty.ini"
mkdir "$work/in" "$work/batch" "$work/loop"
# Flat, distinct names: a book is named after its text.
find "$folder" -name '*.txt' | sort | head -n "$count" | while read -r text; do
  cp "$text" "$work/in/$(basename "$text")"
done
texts=("$work"/in/*.txt)
echo "texts: ${#texts[@]}, $(du -cb "${texts[@]}" | tail -1 | cut -f1) bytes; cores: $(nproc)"

seconds() {
  local start end
  start=$(date +%s.%N)
  "$@"
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'
}
batch() {
  "$convert" --settings "$work/empty.ini" --format epub --output-dir "$work/batch" "${texts[@]}" \
    2>/dev/null
}
loop() {
  for text in "${texts[@]}"; do
    "$convert" --settings "$work/empty.ini" --format epub \
      -o "$work/loop/$(basename "$text" .txt).epub" "$text" 2>/dev/null
  done
}
one_call=$(seconds batch)
shell_loop=$(seconds loop)
echo "one call with --output-dir: ${one_call} s; a process a text: ${shell_loop} s;" \
  "ratio $(awk -v a="$one_call" -v b="$shell_loop" 'BEGIN { printf "%.2f", a / b }')"
if diff -rq "$work/batch" "$work/loop" >/dev/null; then
  echo "books: $(ls "$work/batch" | wc -l), the same bytes both ways"
else
  echo "books differ between the two ways" >&2
  exit 1
fi
