#!/usr/bin/env bash
# Builds Mirotabe and runs every test. Usage: scripts/test.sh [PRESET]
# (dev by default; asan runs the same tests under the sanitizers).
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"

scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
