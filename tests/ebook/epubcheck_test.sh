#!/bin/sh
# Makes an e-book of each text in DATA with the converter CONVERT and holds
# each to EPUBCheck: no fatal error, no error, no warning.
# Usage: epubcheck_test.sh CONVERT DATA OUT
set -eu
convert=$1 data=$2 out=$3
jar=/usr/share/java/epubcheck.jar
if ! command -v java >/dev/null 2>&1 || [ ! -f "$jar" ]; then
  echo "EPUBCheck is not installed (scripts/install-deps.sh installs it)"
  exit 77
fi
rm -rf "$out"
mkdir -p "$out"
: >"$out/settings.ini"
"$convert" --settings "$out/settings.ini" --format epub --output-dir "$out" "$data"/*.txt
# A book of a text in another notation, and one of nothing.
"$convert" --settings "$out/settings.ini" --format epub --notation plain -o "$out/plain.epub" \
  "$data/notation-tour.txt"
: | "$convert" --settings "$out/settings.ini" --format epub -o "$out/empty.epub"
# The checks run side by side, and the JVM without its optimising
# compiler, which a run this short never repays.
for book in "$out"/*.epub; do
  (java -XX:TieredStopAtLevel=1 -XX:+UseSerialGC -jar "$jar" "$book" >"$book.report" 2>&1 || true) &
done
wait
status=0
for book in "$out"/*.epub; do
  case $(cat "$book.report") in
    *"Messages: 0 fatals / 0 errors / 0 warnings"*) echo "ok: $book" ;;
    *) cat "$book.report"; echo "FAILED: $book"; status=1 ;;
  esac
done
exit $status
