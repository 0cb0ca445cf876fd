#!/usr/bin/env bash
# Runs a Windows program of the cross build under 64-bit wine: ctest's
# emulator for the windows preset. The wine prefix lives in the build tree
# (build/windows/wine, made on first use), so that a run never touches the
# user's own, and wine's own messages stay out of the programs' output.
# Usage: wine-run.sh PROGRAM.exe [ARGUMENT...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$here/build/windows/wine}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
  wineserver --wait
fi
exec wine "$@"
