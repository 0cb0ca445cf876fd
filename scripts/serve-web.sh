#!/usr/bin/env bash
# Builds the browser's edition and serves it on this computer only:
# scripts/serve-web.sh [PORT]   (8080 by default), then open the address it
# prints. build/web/site/ can be put on any static web server as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset web >/dev/null
cmake --build --preset web --target site
exec node web/tools/serve.mjs build/web/site "${1:-8080}"
