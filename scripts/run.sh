#!/usr/bin/env bash
# Builds Mirotabe and starts it. Until the window exists, this converts a
# sample text with the headless converter and shows the vertical result.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
build/release/bin/mirotabe-convert --encoding utf-8 "${1:-packaging/sample.txt}"
echo
