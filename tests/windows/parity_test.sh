#!/usr/bin/env bash
# The parity table: the Windows converter (under wine) against the Linux
# one, case by case, on the same files in the same folder; each case must
# give the same standard output, standard error, exit status and -o file,
# byte for byte. The inputs are cut from the Japanese Debian Reference in
# every encoding the converter reads, short ones and ones with bad bytes
# among them (so that both read them alike), and every settings file of
# tests/data/hostile-settings is a case of its own. Pictures and pages are
# held to the same bytes, so the PNGs' pixels and the PDFs alike, and the
# e-books of texts in Aozora Bunko's notation.
# Usage: parity_test.sh LINUX_CONVERTER WINDOWS_CONVERTER.exe
set -euo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
here=$(cd "$(dirname "$0")/../.." && pwd)
reference=/usr/share/debian-reference/debian-reference.ja.txt.gz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in" "$work/run" "$work/result"
cd "$work/in"

# --- The inputs ---------------------------------------------------------------
# Japanese prose (lines with hiragana), 300 lines of it, and the
# whole reference, large enough for the streamed paths.
zcat "$reference" | grep '[のはがをにでと]' | head -n 300 >prose.txt || true
zcat "$reference" >large-utf8.txt
iconv -c -f UTF-8 -t CP932 large-utf8.txt >large-cp932.txt || true
for encoding in CP932 EUC-JP ISO-2022-JP; do
  iconv -c -f UTF-8 -t "$encoding" prose.txt >"prose-$encoding.txt" || true
done
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE prose.txt; } >prose-utf16le.txt
{ printf '\xfe\xff'; iconv -f UTF-8 -t UTF-16BE prose.txt; } >prose-utf16be.txt
for encoding in UTF-8 CP932 EUC-JP ISO-2022-JP; do
  printf 'こんにちは\n' | iconv -f UTF-8 -t "$encoding" >"short-$encoding.txt"
done
printf 'あ😀\xff\xfeい\r\nう\rえ\n' >utf8-bad-bytes.txt
printf '\x82\x20\x8a\xbf\x81\n' >cp932-bad-bytes.txt
printf 'a\tb\t\tc\n\x1aafter Ctrl-Z\n' >tabs-and-ctrl-z.txt
printf '' >empty.txt
cp prose.txt 山田の原稿.txt
mkdir folder
# The pictures and pages: ruby, numbers and Latin set upright or sideways,
# a character beyond the BMP that no font has, and the notation, drawn
# with the same font files on both sides (wine has no Japanese font of its
# own). The Linux side's fallback font has none of these characters either.
cp /usr/share/fonts/opentype/ipafont-mincho/ipam.ttf mincho.ttf
cp /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf gothic.ttf
cp "$here"/tests/data/aozora/*.txt .
printf '｜吾輩《わがはい》は猫である。名前《なまえ》はまだ無い。\n平成31年4月、Vertical 縦書きの𠮷野家!?\n［＃改ページ］\n［＃ここから２字下げ］\n字下げの段落。［＃「段落」に傍点］\n［＃ここで字下げ終わり］\n' >typeset.txt

# --- The cases: a name, then the arguments ------------------------------------
cases=(
  "utf-8|prose.txt"
  "cp932|prose-CP932.txt"
  "euc-jp|prose-EUC-JP.txt"
  "iso-2022-jp|prose-ISO-2022-JP.txt"
  "utf-16le|prose-utf16le.txt"
  "utf-16be|prose-utf16be.txt"
  "short-utf-8|short-UTF-8.txt"
  "short-cp932|short-CP932.txt"
  "short-euc-jp|short-EUC-JP.txt"
  "short-iso-2022-jp|short-ISO-2022-JP.txt"
  "utf-8-bad-bytes|utf8-bad-bytes.txt"
  "cp932-bad-bytes|cp932-bad-bytes.txt"
  "tabs-and-ctrl-z|tabs-and-ctrl-z.txt"
  "empty|empty.txt"
  "large|large-utf8.txt"
  "large-cp932-out-utf-8|--encoding utf-8 large-cp932.txt"
  "encoding-utf-8|--encoding utf-8 prose-CP932.txt"
  "from-cp932|--from cp932 prose.txt"
  "from-utf-8|--from utf-8 prose-CP932.txt"
  "from-utf-16|--from utf-16 prose-utf16be.txt"
  "from-euc-jp|--from euc-jp short-CP932.txt"
  "from-iso-2022-jp|--from iso-2022-jp prose-ISO-2022-JP.txt"
  "column-length|--column-length 10 prose.txt"
  "column-length-none|--column-length 0 prose.txt"
  "kinsoku-none|--column-length 7 --kinsoku none prose.txt"
  "kinsoku-hang|--column-length 7 --kinsoku hang prose.txt"
  "kinsoku-push|--column-length 7 --kinsoku push prose.txt"
  "gap-1|--gap 1 prose.txt"
  "gap-2|--gap 2 --column-length 12 prose.txt"
  "reverse|--reverse prose.txt"
  "reverse-utf-8|--reverse --encoding utf-8 prose-EUC-JP.txt"
  "output-file|-o out.txt prose.txt"
  "output-dash|-o - prose.txt"
  "japanese-names|-o 出力.txt 山田の原稿.txt"
  "standard-input|-"
  "missing-file|nothere.txt"
  "folder|folder"
  "output-into-folder|-o folder prose.txt"
  "missing-settings|--settings nothere.ini prose.txt"
  "bad-option|--bogus prose.txt"
  "bad-value|--column-length many prose.txt"
  "out-of-range|--gap 3 prose.txt"
  "bad-encoding|--encoding latin1 prose.txt"
  "two-inputs|prose.txt empty.txt"
  "help|--help"
  "version|--version"
  "png|--format png --font gothic.ttf -o out.png typeset.txt"
  "png-grid-sideways|--format png --font mincho.ttf --grid on --latin sideways --tcy 2 -o out.png typeset.txt"
  "png-standard-output|--format png --font gothic.ttf --cell-size 16 typeset.txt"
  "pdf|--format pdf --font mincho.ttf -o out.pdf typeset.txt"
  "page-a4|--page a4 --font mincho.ttf -o out.pdf typeset.txt"
  "page-b5|--page b5 --font mincho.ttf -o out.pdf prose.txt"
  "page-a5|--page a5 --font gothic.ttf -o out.pdf typeset.txt"
  "page-b6|--page b6 --font mincho.ttf -o out.pdf typeset.txt"
  "page-a6|--page a6 --font mincho.ttf -o out.pdf typeset.txt"
  "page-letter-landscape|--page letter --landscape --font mincho.ttf -o out.pdf typeset.txt"
  "page-genkou|--page genkou --font mincho.ttf -o out.pdf typeset.txt"
  "page-missing-font|--page a4 --font nothere.ttf -o out.pdf typeset.txt"
  "epub|--format epub -o out.epub rashomon-excerpt.txt"
  "epub-notation-tour|--format epub --title 題 --author 著者 -o out.epub notation-tour.txt"
  "epub-standard-input|--format epub -o out.epub -"
  "epub-plain|--format epub --notation plain -o out.epub poem-excerpt.txt"
  "epub-output-dir|--format epub --output-dir books rashomon-excerpt.txt poem-excerpt.txt"
)
for settings in "$here"/tests/data/hostile-settings/*.ini; do
  name=$(basename "$settings" .ini)
  cp "$settings" "$work/in/settings-$name.ini"
  cases+=("settings-$name|--settings settings-$name.ini --encoding utf-8 prose.txt")
done

# Runs one side of a case in a fresh folder of its own, where the inputs
# are linked: the results are its standard output, standard error, exit
# status and out files.
run() {
  local side=$1 arguments=$2 name=$3
  local folder="$work/run/$side-$name" result="$work/result/$side-$name"
  mkdir "$folder"
  ln -s "$work"/in/* "$folder/"
  local status=0
  # shellcheck disable=SC2086 # the arguments are split as written
  (cd "$folder" && if [ "$side" = linux ]; then "$linux" $arguments <prose.txt; else
    "$here/scripts/wine-run.sh" "$windows" $arguments <prose.txt; fi) \
    >"$result.stdout" 2>"$result.stderr" || status=$?
  echo "$status" >"$result.status"
  for out in out.txt 出力.txt out.png out.pdf out.epub books/rashomon-excerpt.epub \
    books/poem-excerpt.epub; do
    if [ -e "$folder/$out" ]; then cp "$folder/$out" "$result.${out//\//-}"; fi
  done
}

failed=0
for entry in "${cases[@]}"; do
  name=${entry%%|*}
  arguments=${entry#*|}
  run linux "$arguments" "$name"
  run windows "$arguments" "$name"
  for part in stdout stderr status out.txt 出力.txt out.png out.pdf out.epub \
    books-rashomon-excerpt.epub books-poem-excerpt.epub; do
    linux_result="$work/result/linux-$name.$part"
    windows_result="$work/result/windows-$name.$part"
    [ -e "$linux_result" ] || [ -e "$windows_result" ] || continue
    if ! cmp -s "$linux_result" "$windows_result"; then
      echo "DIFFERS: $name ($arguments): $part"
      diff <(head -c 2000 "$linux_result" | od -c | head -20) \
        <(head -c 2000 "$windows_result" | od -c | head -20) || true
      failed=$((failed + 1))
    fi
  done
done
echo "parity: ${#cases[@]} cases, $(find "$work/result" -type f | wc -l) results, $failed differ"
[ "$failed" -eq 0 ]
