#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format, with
# the committed .clang-format, makes of it. Usage: scripts/check-format.sh
# (run `clang-format -i FILE...` to fix what it names).
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format || command -v clang-format-14 || true)
if [ -z "$format" ]; then
  echo "clang-format not found: run scripts/install-deps.sh" >&2
  exit 1
fi
git ls-files -z '*.cpp' '*.h' | xargs -0 "$format" --dry-run --Werror
