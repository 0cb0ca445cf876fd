#!/usr/bin/env bash
# Makes a corpus of Japanese prose that mixes in Latin words, numbers, paths
# and URLs: the Japanese translations in the message catalogues of the
# programs installed here, one message line a line, written to
# bench/data/ja-messages.txt (or $1). mirotabe_kinsoku_bench reads it.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-bench/data/ja-messages.txt}
command -v msgunfmt >/dev/null || scripts/install-deps.sh gettext
mkdir -p "$(dirname "$out")"
for catalogue in /usr/share/locale/ja/LC_MESSAGES/*.mo; do
  msgunfmt --no-wrap "$catalogue" 2>/dev/null || true
done | grep -a -E '^msgstr(\[[0-9]+\])? "' |
  sed -E 's/^msgstr(\[[0-9]+\])? "//; s/"$//' |
  sed -E 's/\\n/\n/g; s/\\t/\t/g; s/\\"/"/g; s/\\\\/\\/g' |
  grep -a -v '^$' >"$out"
echo "$out: $(wc -l <"$out") lines, $(wc -m <"$out") characters"
