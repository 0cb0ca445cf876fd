#!/usr/bin/env bash
# Builds Mirotabe and starts it, with the sample text unless a file is
# given.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
exec build/release/bin/mirotabe "${1:-packaging/sample.txt}"
