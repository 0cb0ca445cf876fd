#!/usr/bin/env bash
# Measures the release converter's PDF pages on the reference text (see
# scripts/bench.sh, which prepares it), as whole processes: A4 pages and
# 原稿用紙, their wall time and peak memory, and whether the text that
# pdftotext -raw reads from them is the converter's own, blanks, line
# breaks and widths aside (the vertical text read back into lines with
# --reverse).
# Then A4 pages of the text with ruby against Chromium printing it (see
# the end).
# Usage: scripts/pdf_bench.sh [RUNS]   (3 runs of each by default)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-3}"

text=bench/data/debian-reference.ja.txt
[ -s "$text" ] || { echo "Run scripts/bench.sh first: $text is missing" >&2; exit 1; }
convert=build/release/bin/mirotabe-convert
cmake --preset release >/dev/null
cmake --build --preset release --target mirotabe-convert >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: >"$work/empty.ini"
"$convert" --settings "$work/empty.ini" --encoding utf-8 "$text" |
  "$convert" --reverse --from utf-8 --encoding utf-8 >"$work/expected.txt"

# The text without blanks of any width and without line breaks, NFKC-
# normalised: pages set Latin sideways at its half width, and numbers
# upright side by side.
squeeze() { perl -CSD -MUnicode::Normalize -0777 -pe '$_ = NFKC($_); s/[\s\x{3000}]//g' "$1"; }
squeeze "$work/expected.txt" >"$work/expected.squeezed"

for page in a4 genkou; do
  for ((i = 1; i <= runs; i++)); do
    /usr/bin/time -f "%e %M" -o "$work/time" \
      "$convert" --settings "$work/empty.ini" --page "$page" -o "$work/$page.pdf" "$text"
    read -r seconds kb <"$work/time"
    echo "--page $page run $i: ${seconds} s, peak RSS ${kb} KB"
  done
  pages=$(pdfinfo "$work/$page.pdf" | awk '/^Pages:/ { print $2 }')
  pdftotext -raw "$work/$page.pdf" "$work/$page.txt"
  squeeze "$work/$page.txt" >"$work/$page.squeezed"
  if cmp -s "$work/expected.squeezed" "$work/$page.squeezed"; then
    verdict="identical"
  else
    # The characters that differ, position by position, and how often.
    verdict="differs: $(perl -CSD -e '
      local $/; open(my $a, "<", $ARGV[0]); open(my $b, "<", $ARGV[1]);
      my @a = split //, <$a>; my @b = split //, <$b>; my %pairs;
      print scalar(@a), " against ", scalar(@b), " characters; ";
      for my $i (0 .. ($#a < $#b ? $#a : $#b)) { $pairs{"$a[$i]->$b[$i]"}++ if $a[$i] ne $b[$i] }
      print join(", ", map { "$_ $pairs{$_} times" } sort keys %pairs);
    ' "$work/expected.squeezed" "$work/$page.squeezed")"
  fi
  echo "--page $page: $pages pages, $(wc -c <"$work/$page.pdf") bytes; pdftotext -raw against the converter's text: $verdict"
done

# A4 pages of the text with ruby (about 1,400 readings), 縦中横 and sideways
# Latin, as pages set them by default, against headless Chromium printing
# the same text in the same run (bench/web/print_peer.mjs); the text read
# back against the converter's, readings left out.
ruby=bench/data/debian-reference-ruby.ja.txt
[ -s "$ruby" ] || scripts/make_ruby_text.sh >/dev/null
for ((i = 1; i <= runs; i++)); do
  /usr/bin/time -f "%e %M" -o "$work/time" \
    "$convert" --settings "$work/empty.ini" --page a4 -o "$work/ruby.pdf" "$ruby"
  read -r seconds kb <"$work/time"
  echo "--page a4, ruby on, run $i: ${seconds} s, peak RSS ${kb} KB"
done
node bench/web/print_peer.mjs "$ruby" "$work/peer.pdf"
"$convert" --settings "$work/empty.ini" --ruby on --encoding utf-8 "$ruby" |
  "$convert" --reverse --from utf-8 --encoding utf-8 >"$work/ruby-expected.txt"
pdftotext -raw "$work/ruby.pdf" "$work/ruby.txt"
if cmp -s <(squeeze "$work/ruby-expected.txt") <(squeeze "$work/ruby.txt"); then
  verdict="identical"
else
  verdict="differs"
fi
echo "--page a4, ruby on: $(pdfinfo "$work/ruby.pdf" | awk '/^Pages:/ { print $2 }') pages," \
  "$(wc -c <"$work/ruby.pdf") bytes, $(pdfinfo "$work/ruby.pdf" | awk '/^Tagged:/ { print $2 }' |
    sed 's/yes/tagged/;s/no/untagged/'); pdftotext -raw against the converter's text: $verdict"
