#!/usr/bin/env bash
# Builds the window program and starts it, with the sample text unless a
# file is given. Only what the window needs is built: the `mirotabe` target,
# the libraries it links and the manual its help menu opens, in build/run/
# (tests and benchmarks are scripts/test.sh's and scripts/bench.sh's).
set -euo pipefail
cd "$(dirname "$0")/.."

say() { printf 'run.sh: %s\n' "$*" >&2; }

say "checking the packages that building and running need (scripts/install-deps.sh --run)"
scripts/install-deps.sh --run
say "configuring build/run (optimised, without tests and benchmarks)"
cmake --preset run >/dev/null
say "building the program and its manual; the first build takes a few minutes"
cmake --build --preset run --target mirotabe mirotabe_docs
say "starting build/run/bin/mirotabe"
exec build/run/bin/mirotabe "${1:-packaging/sample.txt}"
