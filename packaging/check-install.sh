#!/usr/bin/env bash
# Installs a build into an empty prefix and checks that a desktop finds the
# program there: both executables and their manual pages, each page listing
# the options of its program's --help, the icon at each size, the menu
# entry, the software-centre description and the manual, and that they name
# each other correctly.
# Usage: check-install.sh BUILD_DIR PREFIX   (PREFIX is emptied first)
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 BUILD_DIR PREFIX" >&2; exit 2; }
build="$1"
prefix="$2"

rm -rf "$prefix"
"${CMAKE:-cmake}" --install "$build" --prefix "$prefix" >/dev/null

failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

for program in bin/mirotabe bin/mirotabe-convert; do
  [ -x "$prefix/$program" ] || fail "$program is not installed"
done

for page in mirotabe.1.gz mirotabe-convert.1.gz; do
  gzip -t "$prefix/share/man/man1/$page" 2>/dev/null || fail "the manual page $page is not installed"
done

# A PNG's width and height are the big-endian words at bytes 16 and 20; an
# icon in the wrong size folder is scaled blurrily by the desktop.
for size in 16 32 48; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/mirotabe.png"
  if [ ! -f "$icon" ]; then
    fail "the ${size}x${size} icon is not installed"
    continue
  fi
  read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$icon") || true
  width=$(( (w0 << 24) | (w1 << 16) | (w2 << 8) | w3 ))
  height=$(( (h0 << 24) | (h1 << 16) | (h2 << 8) | h3 ))
  [ "$width" -eq "$size" ] && [ "$height" -eq "$size" ] ||
    fail "the ${size}x${size} icon is ${width}x${height}"
done

# The help menu opens the manual by its place relative to the program; its
# tables are tables there, its links lead to its own sections, and the
# pictures it shows are beside it.
manual="$prefix/bin/${MANUAL_FROM_PROGRAM:-../share/doc/mirotabe/manual.html}"
if grep -qE '<table[ >]' "$manual" 2>/dev/null; then
  for target in $(grep -oE 'href="#[^"]*"' "$manual" | sed 's/^href="#//; s/"$//' | sort -u); do
    grep -q "id=\"$target\"" "$manual" || fail "the manual links to #$target, which it does not hold"
  done
  for picture in $(grep -oE '<img src="[^"]*"' "$manual" | sed 's/^<img src="//; s/"$//' | sort -u); do
    [ -f "$(dirname "$manual")/$picture" ] || fail "the manual shows $picture, which is not installed beside it"
  done
else
  fail "no manual with tables where the program looks for it: $manual"
fi

# Each manual page lists exactly the options that its program's --help lists:
# the option lines of the help against the headings of the page's OPTIONS.
options_of_help() {
  grep -oE -- '^  (-[a-z], )?--[a-z][a-z-]*' | grep -oE -- '-?-[a-z][a-z-]*' | sort -u
}
options_of_page() {
  gzip -dc "$1" | sed -n '/^\.SH OPTIONS/,/^\.SH /p' | awk 'heading { print } { heading = /^\.TP/ }' |
    sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' | grep -oE -- '(^|[ "])-?-[a-z][a-z-]*' |
    grep -oE -- '-?-[a-z][a-z-]*' | sort -u
}
for program in mirotabe mirotabe-convert; do
  page="$prefix/share/man/man1/$program.1.gz"
  [ -f "$page" ] || continue
  helped=$(QT_QPA_PLATFORM=none "$prefix/bin/$program" --help | options_of_help) || true
  listed=$(options_of_page "$page") || true
  [ -n "$helped" ] && [ "$helped" = "$listed" ] ||
    fail "man $program lists other options than $program --help:
$(diff <(echo "$listed") <(echo "$helped") | sed -n 's/^</  only in the manual:/p; s/^>/  only in --help:/p')"
done

desktop="$prefix/share/applications/mirotabe.desktop"
if [ -f "$desktop" ]; then
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -n "$exec_program" ] && [ -x "$prefix/bin/$exec_program" ] || fail "the menu entry starts '$exec_program', which is not installed"
  icon_name=$(sed -n 's/^Icon=//p' "$desktop")
  [ "$icon_name" = mirotabe ] || fail "the menu entry shows icon '$icon_name', not the installed mirotabe"
else
  fail "share/applications/mirotabe.desktop is not installed"
fi

metainfo=("$prefix"/share/metainfo/*.metainfo.xml)
if [ -f "${metainfo[0]}" ] && [ ${#metainfo[@]} -eq 1 ]; then
  # The release a software centre shows must be the one the program reports.
  released=$(sed -n 's:.*<release version="\([^"]*\)".*:\1:p' "${metainfo[0]}")
  reported=$("$prefix/bin/mirotabe-convert" --version | cut -d' ' -f2) || true
  [ -n "$released" ] && [ "$released" = "$reported" ] ||
    fail "the metainfo's release '$released' is not the version the converter reports, '$reported'"
  launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "${metainfo[0]}")
  [ -f "$prefix/share/applications/$launchable" ] ||
    fail "the metainfo launches '$launchable', which is not installed"
else
  fail "expected one share/metainfo/*.metainfo.xml, found: ${metainfo[*]}"
fi

[ "$failed" -eq 0 ] && echo "install into $prefix: complete"
exit "$failed"
