#!/usr/bin/env bash
# Installs what building, running and testing Mirotabe need: the
# Debian/Ubuntu packages, when they are missing (with sudo unless run as
# root), and the npm packages of the browser's edition and of its tests,
# from the committed lockfiles. This is the one step that reaches a package
# registry: configuring, building and testing afterwards work offline.
# Usage: install-deps.sh [--run] [PACKAGE...]; --run installs only what
# building and running the window program needs. Further packages named are
# installed too.
set -euo pipefail
cd "$(dirname "$0")/.."

# What building and running the window program needs (scripts/run.sh asks
# for these alone, with --run).
run_packages=(
  # build
  cmake ninja-build g++ pkg-config qt6-base-dev
  # Qt's own dialogs and menus in Japanese
  qt6-translations-l10n
  # the PNG pictures of the layout
  libpng-dev
  # the panes' fixed-pitch Japanese font, and the Mincho that pages are set in
  fonts-ipafont-gothic fonts-ipafont-mincho
  # the vertical forms of the glyphs in the pictures and the output pane, the
  # fonts' subsets in the PDFs, the glyphs' outlines drawn into the PNGs, and
  # the font that draws what the Japanese faces lack
  libharfbuzz-dev libfreetype-dev fonts-dejavu-core
  # the user's manual that the help menu opens, as HTML
  cmark-gfm
)
only_running=false
if [ "${1:-}" = --run ]; then
  only_running=true
  shift
fi
packages=("${run_packages[@]}")
$only_running || packages+=(
  # the yardstick the encoding detection's tests hold it to; zlib for the
  # PDFs' page contents that the tags are written into, and the compressed
  # Japanese text the tests cut their files from
  libuchardet-dev zlib1g-dev
  # tests and benchmarks; ICU's line breaker is the yardstick of the line-breaking
  # test and benchmark
  libgtest-dev libgmock-dev libbenchmark-dev libicu-dev
  # reading the PDF pictures back, and checking their structure
  poppler-utils qpdf
  # Unicode's own character data: how each character stands in vertical text
  # and where a line may break, read at build time; the line-breaking rules'
  # test data, and the full-width mapping's check
  unicode-data
  # validators of the desktop file and the software-centre description, and
  # of the e-books
  desktop-file-utils appstream epubcheck
  # the Debian package: dpkg-shlibdeps finds its library dependencies (CPack
  # looks for programs with file), lintian checks it
  dpkg-dev file lintian
  # the lint preset, and the format check of CI
  clang-tidy clang-format
  # the end-to-end test drives the real program in a virtual X server, and
  # reads its window as a screen reader does; it enters Japanese through
  # the clipboard, since xdotool's typing of keys the keymap lacks races
  # the program on a busy machine
  xvfb xauth xdotool xclip
  # the browser's edition: the WebAssembly compiler, the browser its tests
  # drive headless, and the Japanese Debian Reference that its parity test
  # converts
  emscripten chromium debian-reference-ja
  # the converter for Windows: the cross compiler (posix threads), the
  # 64-bit wine its tests run under, wixl, which makes its installer, and
  # msitools' msiinfo and msibuild, which write the PATH entry into it
  g++-mingw-w64-x86-64-posix wine wine64 wixl msitools
  # zlib for the Windows build (the painter's other libraries are built from
  # the pinned sources below)
  libz-mingw-w64-dev
)
# Node and npm run the browser edition's tests; a machine with its own Node
# (and the npm that comes with it) keeps it.
if ! $only_running; then
  command -v node >/dev/null || packages+=(nodejs)
  command -v npm >/dev/null || packages+=(npm)
fi
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -ne 0 ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

$only_running && exit 0

# The site's package (esbuild, which bundles the
# site) and the browser tests' (puppeteer-core), into node_modules/ beside each
# package.json, where the build finds them (cmake/MirotabeNpm.cmake). npm ci
# runs again only when a lockfile has changed since, so that this script
# also runs on a machine that has since lost the network.
for folder in web tests/web; do
  lock=$(sha256sum "$folder/package-lock.json" | cut -d ' ' -f 1)
  stamp=$folder/node_modules/.mirotabe-lockfile-sha256
  [ "$(cat "$stamp" 2>/dev/null)" = "$lock" ] && continue
  echo "Installing the npm packages of $folder/ (npm ci)"
  (cd "$folder" && npm ci --no-audit --no-fund --loglevel=error)
  echo "$lock" > "$stamp"
done

# The painter's libraries for the builds that have no system to take them
# from (windows, web): the sources of Debian's own packages of the versions
# the Linux build links, unpacked into third_party/ (not committed). Each
# upstream version is pinned; any Debian revision of it will do, so that a
# security update in the archive does not break the set-up. The archive's
# source lines are added beside its binary ones where the machine has none.
pinned_sources=(harfbuzz:6.0.0 freetype:2.12.1 libpng1.6:1.6.39 zlib:1.2.13)
sources_list=/etc/apt/sources.list.d/mirotabe-sources.sources
for pinned in "${pinned_sources[@]}"; do
  name=${pinned%%:*}
  upstream=${pinned#*:}
  folder=third_party/$name
  [ "$(cat "$folder/.mirotabe-version" 2>/dev/null)" = "$upstream" ] && continue
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  if ! apt-cache showsrc "$name" 2>/dev/null | grep -q '^Version:'; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed -n '/^Types: deb$/,/^$/p' /etc/apt/sources.list.d/debian.sources \
        | sed 's/^Types: deb$/Types: deb-src/' | "${sudo[@]}" tee "$sources_list" >/dev/null
    else
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list \
        | "${sudo[@]}" tee "${sources_list%.sources}.list" >/dev/null
    fi
    "${sudo[@]}" apt-get update -qq
  fi
  version=$(apt-cache showsrc "$name" | sed -n 's/^Version: //p' \
    | grep -E "^([0-9]+:)?${upstream//./\\.}[.+-]" | head -n 1)
  if [ -z "$version" ]; then
    echo "No source of $name $upstream in the archive: the windows and web builds need it" >&2
    exit 1
  fi
  echo "Fetching the source of $name $version into $folder"
  work=$(mktemp -d)
  (cd "$work" && apt-get source -qq --only-source "$name=$version" >/dev/null 2>&1)
  rm -rf "$folder"
  mkdir -p third_party
  unpacked=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  mv "$unpacked" "$folder"
  rm -rf "$work"
  echo "$upstream" > "$folder/.mirotabe-version"
done
