#!/usr/bin/env bash
# Builds Mirotabe and runs every test. Usage: scripts/test.sh [PRESET]
# (dev by default; asan runs the same tests under the sanitizers). The
# default run also builds the browser's edition (preset web) and runs its
# tests, which compare it with the dev build's mirotabe-convert. The
# windows preset cross-builds the converter for Windows and runs its tests
# under wine, and holds it to the dev build's converter. Only
# install-deps.sh reaches the network; the rest works offline.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"

scripts/install-deps.sh
configure=()
if [ "$preset" = windows ]; then
  cmake --preset dev >/dev/null
  cmake --build --preset dev --target mirotabe-convert
  configure=(-DMIROTABE_CONVERT="$PWD/build/dev/bin/mirotabe-convert")
fi
cmake --preset "$preset" "${configure[@]}" >/dev/null
cmake --build --preset "$preset"
if [ "$preset" = windows ]; then
  # Whatever wine still runs in the build's prefix (a process killed by the
  # kill test can leave wine's own helpers waiting) ends with the tests.
  trap 'for prefix in wine wine-window; do
          WINEPREFIX="$PWD/build/windows/$prefix" wineserver -k 2>/dev/null || true
        done' EXIT
fi
ctest --preset "$preset"

if [ "$preset" = dev ]; then
  cmake --preset web -DMIROTABE_CONVERT="$PWD/build/dev/bin/mirotabe-convert" >/dev/null
  cmake --build --preset web
  ctest --preset web
fi
