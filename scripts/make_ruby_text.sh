#!/usr/bin/env bash
# Makes the reference text with ruby for the page benchmarks: every eighth
# run of two to four kanji gets a reading in the notation writers use,
# ｜漢字《かんじ》, about 1,400 in all. The readings are kana of a plausible
# length (two to a kanji), not true readings: what is measured is their
# setting, not their sense.
# Usage: scripts/make_ruby_text.sh [IN] [OUT]
set -euo pipefail
cd "$(dirname "$0")/.."
in="${1:-bench/data/debian-reference.ja.txt}"
out="${2:-bench/data/debian-reference-ruby.ja.txt}"
[ -s "$in" ] || { echo "Run scripts/bench.sh first: $in is missing" >&2; exit 1; }
perl -CSD -Mutf8 -pe '
  BEGIN { @kana = split //, "かんじよみがなふりるびてきすとしよう" }
  s{(\p{Han}{2,4})}{
    (++$runs % 8) ? $1
      : "｜$1《" . join("", map { $kana[($k++) % @kana] } 1 .. 2 * length $1) . "》"
  }ge' "$in" >"$out"
echo "$out: $(grep -c '《' "$out") lines with readings"
