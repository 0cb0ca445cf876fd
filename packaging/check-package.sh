#!/usr/bin/env bash
# Builds the Debian package of a build folder and checks it as a user's
# system would see it: the files and their modes, the control fields, the
# programs inside it, and lintian. Nothing is installed.
# Usage: check-package.sh BUILD_DIR WORK_DIR VERSION   (WORK_DIR is emptied first)
# HOMEPAGE in the environment: the home page the build names, if any.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 BUILD_DIR WORK_DIR VERSION" >&2; exit 2; }
build="$1"
work="$2"
version="$3"

for tool in "${CPACK:-cpack}" dpkg-deb dpkg-shlibdeps lintian file; do
  command -v "$tool" >/dev/null ||
    { echo "$tool not found: run scripts/install-deps.sh" >&2; exit 1; }
done

rm -rf "$work"
mkdir -p "$work"
(cd "$work" && "${CPACK:-cpack}" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >cpack.log 2>&1) ||
  { cat "$work/cpack.log" >&2; exit 1; }

deb="$work/mirotabe_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "FAIL: $deb was not built; found: $(ls "$work")" >&2; exit 1; }

failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

# path | mode: what the desktop, man and dpkg expect where they look.
expected=(
  "./usr/bin/mirotabe|-rwxr-xr-x"
  "./usr/bin/mirotabe-convert|-rwxr-xr-x"
  "./usr/share/applications/mirotabe.desktop|-rw-r--r--"
  "./usr/share/icons/hicolor/16x16/apps/mirotabe.png|-rw-r--r--"
  "./usr/share/icons/hicolor/32x32/apps/mirotabe.png|-rw-r--r--"
  "./usr/share/icons/hicolor/48x48/apps/mirotabe.png|-rw-r--r--"
  "./usr/share/metainfo/com.example.mirotabe.metainfo.xml|-rw-r--r--"
  "./usr/share/man/man1/mirotabe.1.gz|-rw-r--r--"
  "./usr/share/man/man1/mirotabe-convert.1.gz|-rw-r--r--"
  "./usr/share/doc/mirotabe/copyright|-rw-r--r--"
  "./usr/share/doc/mirotabe/changelog.gz|-rw-r--r--"
  "./usr/share/doc/mirotabe/manual.html|-rw-r--r--"
  "./usr/share/doc/mirotabe/window.png|-rw-r--r--"
  "./usr/share/lintian/overrides/mirotabe|-rw-r--r--"
)
listing=$(dpkg-deb -c "$deb")
for entry in "${expected[@]}"; do
  path="${entry%%|*}"
  mode="${entry##*|}"
  line=$(awk -v p="$path" '$6 == p' <<<"$listing")
  if [ -z "$line" ]; then
    fail "$path is not in the package"
  elif [ "$(awk '{print $1 " " $2}' <<<"$line")" != "$mode root/root" ]; then
    fail "$path is '$(awk '{print $1 " " $2}' <<<"$line")', not '$mode root/root'"
  fi
done
outside=$(awk '$6 !~ /^\.\/usr\// && $6 != "./"' <<<"$listing")
[ -z "$outside" ] || fail "files outside /usr: $outside"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = mirotabe ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Section)" = text ] || fail "Section is '$(field Section)'"
# The home page the build names, and no other; none without one.
[ "$(field Homepage)" = "${HOMEPAGE:-}" ] ||
  fail "Homepage is '$(field Homepage)', not '${HOMEPAGE:-}' (the build's MIROTABE_HOMEPAGE)"
# dpkg-shlibdeps found the libraries (Qt, the C++ library) beside the
# packages the program needs at run time without linking them.
depends=$(field Depends)
depended=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for package in fonts-ipafont-gothic qt6-translations-l10n libqt6widgets6 libstdc++6; do
  grep -qxF "$package" <<<"$depended" || fail "Depends lacks $package: $depends"
done
info=$(dpkg-deb -I "$deb")
grep -q '^ Description: .' <<<"$info" || fail "no Description"

root="$work/root"
dpkg-deb -x "$deb" "$root"
# The software centre links the same home page, or none.
linked=$(sed -n 's:.*<url type="homepage">\(.*\)</url>.*:\1:p' "$root"/usr/share/metainfo/*.metainfo.xml |
  sed 's/&lt;/</g; s/&gt;/>/g; s/&amp;/\&/g')
[ "$linked" = "${HOMEPAGE:-}" ] || fail "the metainfo links '$linked', not '${HOMEPAGE:-}'"
# No file sends users to a placeholder address.
placeholders=$(grep -rlaE '[@./]example\.(com|net|org)\b|\.(example|invalid|test)/' "$root" | sed "s:^$root::") || true
[ -z "$placeholders" ] || fail "placeholder addresses in: $placeholders"

# The programs as shipped: stripped, and reporting the package's version.
for program in bin/mirotabe bin/mirotabe-convert; do
  kind=$(file "$root/usr/$program")
  [[ "$kind" == *", stripped"* ]] || fail "$program is not stripped: $kind"
done
# The converter as shipped draws its pictures in its own process, with no Qt.
if ldd "$root/usr/bin/mirotabe-convert" | grep -q libQt; then
  fail "mirotabe-convert links Qt as installed"
fi
: >"$work/empty.ini"
printf 'a' | "$root/usr/bin/mirotabe-convert" --settings "$work/empty.ini" --format png >"$work/a.png" ||
  fail "mirotabe-convert --format png failed as installed"
[ "$(head -c 4 "$work/a.png" | od -An -c | tr -d ' ')" = '211PNG' ] ||
  fail "mirotabe-convert --format png wrote no PNG as installed"
for program in mirotabe mirotabe-convert; do
  reported=$(QT_QPA_PLATFORM=none "$root/usr/bin/$program" --version) || true
  [ "$reported" = "$program $version" ] || fail "$program --version says '$reported'"
done

# Errors and warnings fail; what stays is overridden, with its reason, in
# the overrides file that the package installs.
if ! lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1; then
  fail "lintian:"
  cat "$work/lintian.log" >&2
fi

[ "$failed" -eq 0 ] && echo "package $deb: complete"
exit "$failed"
