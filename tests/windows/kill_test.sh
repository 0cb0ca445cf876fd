#!/usr/bin/env bash
# Kills the Windows converter (SIGKILL, under wine) at random moments while
# it replaces its output file, RUNS times, alternating two texts, half of the
# kills anywhere in the run and half while the new text is written: the file
# must always be one of the two outputs whole, never a mix or a part, and
# the next save, once the killed saves' temporary files are old enough to
# be taken for leftovers, must remove every one of them.
# Usage: kill_test.sh WINDOWS_CONVERTER.exe [RUNS]   (200 by default)
set -euo pipefail
windows=$(realpath "$1")
runs="${2:-200}"
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Four times the reference, some 20 MB of output, so that a save takes a
# while; and a short text.
for _ in 1 2 3 4; do zcat /usr/share/debian-reference/debian-reference.ja.txt.gz; done >a.txt
zcat /usr/share/debian-reference/debian-reference.ja.txt.gz | head -n 2000 >b.txt || true
: >empty.ini
convert() {
  "$here/scripts/wine-run.sh" "$windows" --settings empty.ini --encoding utf-8 "$@"
}
start=$(date +%s%N)
convert -o expected-a.txt a.txt
duration_ms=$((($(date +%s%N) - start) / 1000000))
convert -o expected-b.txt b.txt
cp expected-b.txt out.txt

mixed=0
for ((i = 0; i < runs; i++)); do
  input=$([ $((i % 2)) -eq 0 ] && echo a.txt || echo b.txt)
  # Started straight, not through a function, so that $! is the converter
  # itself (wine-run.sh and wine exec it) rather than a subshell around it.
  "$here/scripts/wine-run.sh" "$windows" --settings empty.ini --encoding utf-8 -o out.txt \
    "$input" 2>/dev/null &
  pid=$!
  if [ $((i / 2 % 2)) -eq 0 ]; then
    # Anywhere within the time a whole save of the long text takes: while
    # wine starts, while the text is read and converted, while the file is
    # written and put in place.
    sleep "$(awk -v r="$RANDOM" -v d="$duration_ms" 'BEGIN { printf "%.3f", r % d / 1000 }')"
  else
    # While the temporary file is being written: once it is there, within
    # the next 10 ms (writing the long text takes some tens).
    for ((wait = 0; wait < 5000; wait++)); do
      compgen -G '.out.txt.mirotabe~*' >/dev/null && break
      sleep 0.001
    done
    sleep "0.00$((RANDOM % 10))"
  fi
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if ! cmp -s out.txt expected-a.txt && ! cmp -s out.txt expected-b.txt; then
    mixed=$((mixed + 1))
    echo "run $i: out.txt is neither output whole ($(wc -c <out.txt) bytes):" \
      "$(cmp out.txt expected-a.txt 2>&1 | head -1); $(cmp out.txt expected-b.txt 2>&1 | head -1)"
    [ -z "${MIROTABE_KEEP:-}" ] || cp out.txt "$MIROTABE_KEEP/mixed-$i.txt"
  fi
done
left=$(find . -maxdepth 1 -name '.out.txt.mirotabe~*' | wc -l)
# A save takes a temporary file for a leftover once it has lain a minute.
find . -maxdepth 1 -name '.out.txt.mirotabe~*' -exec touch -d '2 minutes ago' {} +
convert -o out.txt a.txt
after=$(find . -maxdepth 1 -name '.out.txt.mirotabe~*' | wc -l)
cmp -s out.txt expected-a.txt || { echo "the last save is not whole"; mixed=$((mixed + 1)); }
echo "kills: $runs, mixed files: $mixed, temporary files left by the kills: $left," \
  "left after the next save: $after"
[ "$mixed" -eq 0 ] && [ "$after" -eq 0 ]
