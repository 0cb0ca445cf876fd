#!/usr/bin/env bash
# Builds Mirotabe and runs every test. Usage: scripts/test.sh [PRESET]
# (dev by default; asan runs the same tests under the sanitizers). The
# default run also builds the browser's edition (preset web) and runs its
# tests, which compare it with the dev build's mirotabe-convert. Only
# install-deps.sh reaches the network; the rest works offline.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"

scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"

if [ "$preset" = dev ]; then
  cmake --preset web -DMIROTABE_CONVERT="$PWD/build/dev/bin/mirotabe-convert" >/dev/null
  cmake --build --preset web
  ctest --preset web
fi
