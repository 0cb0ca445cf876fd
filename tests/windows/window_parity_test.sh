#!/usr/bin/env bash
# The window read from outside against the Linux converter: for each case
# a portable copy of mirotabe.exe with the case's Setting.ini beside it is
# started on the case's file under wine, and window_reader.exe reads its
# output pane as a screen reader would (WM_GETTEXT); the text must be the
# converter's output for the same file and settings, byte for byte (as
# UTF-8). Runs on a display of its own (xvfb-run) when it has none.
# Usage: window_parity_test.sh LINUX_CONVERTER MIROTABE.exe WINDOW_READER.exe
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
linux=$(realpath "$1")
program=$(realpath "$2")
reader=$(realpath "$3")
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# --- The inputs and the settings -------------------------------------------
prose='吾輩は猫である。名前はまだ無い。\nどこで生れたかとんと見当がつかぬ。「ニャー」と泣いた。\n'
printf "$prose" >utf-8.txt
printf "$prose" | iconv -f UTF-8 -t CP932 >cp932.txt
printf 'a\tb\t\tc\n\tタブ\n' >tabs.txt
printf 'ラーメン、ください。\nーー〜\n' >replaced.txt
printf '「あいうえお」、かきくけこ。さしすせそ、たちつてと。\n' >kinsoku.txt
printf 'あ\xffい\nう\n' >damaged.txt
printf '' >empty.txt
printf '[Main]\r\nTabSpace=4\r\nConvert=2\r\n' >plain.ini
printf '[Main]\r\nTabSpace=2\r\nConvert=2\r\n' >tab-2.ini
{ printf '[Main]\r\nTabSpace=4\r\nConvert=2\r\n'
  printf '[Swap001]\r\nFrom="ー"\r\nTo="｜"\r\nType=0\r\n'
  printf '[Swap002]\r\nFrom="ください"\r\nTo="下さい"\r\nType=1\r\n'; } | iconv -f UTF-8 -t CP932 >swaps.ini
printf '[Main]\r\nTabSpace=4\r\nConvert=2\r\n[Layout]\r\nColumnLength=7\r\nKinsoku=2\r\n' >column-7.ini

# --- The cases: a name, the file, the settings -------------------------------
cases=(
  "utf-8|utf-8.txt|plain.ini"
  "cp932|cp932.txt|plain.ini"
  "tabs|tabs.txt|plain.ini"
  "tabs-2|tabs.txt|tab-2.ini"
  "replacements|replaced.txt|swaps.ini"
  "kinsoku|kinsoku.txt|column-7.ini"
  "damaged|damaged.txt|plain.ini"
  "empty|empty.txt|plain.ini"
)

failed=0
for entry in "${cases[@]}"; do
  IFS='|' read -r name input settings <<<"$entry"
  mkdir "$name"
  cp "$program" "$name/mirotabe.exe"
  cp "$settings" "$name/Setting.ini"
  cp "$input" "$name/$input"
  "$linux" --settings "$settings" --encoding utf-8 "$input" >"$name/expected" 2>/dev/null || true
  status=0
  "$here/scripts/wine-run.sh" "$reader" "Z:$work/$name/mirotabe.exe" "Z:$work/$name/$input" \
    "Z:$work/$name/shown" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAIL $name: the reader ended with $status"
    failed=1
  elif ! cmp -s "$name/expected" "$name/shown"; then
    echo "FAIL $name: the window shows other text than the converter writes"
    diff <(od -c "$name/expected") <(od -c "$name/shown") | head -20 || true
    failed=1
  else
    echo "ok   $name"
  fi
done
exit "$failed"
